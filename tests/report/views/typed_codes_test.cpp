// The typed sets and codes over the stored words of views: one bit of the
// flags word means something else for each kind, and each kind's set reads
// only its own meaning.
#include <gtest/gtest.h>

#include <cstdint>

#include "report/base/flag_set.h"
#include "report/views/band_view.h"
#include "report/views/memo/memo_view.h"
#include "report/views/picture_view.h"

namespace quillet {
namespace {

TEST(TypedCodes, OneStoredBitReadByEachKind) {
  struct Row {
    std::uint16_t bits;
    bool wordWrap, formNewPage, center;
  };
  for (const Row& row : {Row{0, false, false, false}, Row{2, true, true, true},
                         Row{1 | 4 | 8, false, false, false}, Row{0xFFFF, true, true, true}}) {
    TfrMemoView memo;
    TfrBandView band;
    TfrPictureView picture;
    memo.Flags = band.Flags = picture.Flags = row.bits;
    EXPECT_EQ(memo.Options().Has(MemoFlag::WordWrap), row.wordWrap) << row.bits;
    EXPECT_EQ(band.Options().Has(BandFlag::FormNewPage), row.formNewPage) << row.bits;
    EXPECT_EQ(picture.Options().Has(PictureFlag::Center), row.center) << row.bits;
    // The stored word goes back unchanged, bits of no meaning included.
    EXPECT_EQ(memo.Options().ToBits(), row.bits);
    EXPECT_EQ(band.Options().ToBits(), row.bits);
  }
}

TEST(TypedCodes, FlagSetChangesOnlyTheBitNamed) {
  MemoFlags flags = MemoFlags::FromBits(flStretched | flSuppress);
  flags.Set(MemoFlag::WordWrap);
  flags.Set(MemoFlag::Suppress, false);
  EXPECT_EQ(flags.ToBits(), flStretched | flWordWrap);
  EXPECT_EQ(flags, MemoFlags(MemoFlag::Stretched) | MemoFlag::WordWrap);
  flags.Set(MemoFlag::WordWrap, false);
  flags.Set(MemoFlag::Stretched, false);
  EXPECT_TRUE(flags.Empty());
  // Setting a bit that is set already keeps the word as it is.
  BandFlags band = BandFlags::FromBits(flBandOnFirstPage | flBandOnLastPage);
  band.Set(BandFlag::OnLastPage);
  EXPECT_EQ(band.ToBits(), flBandOnFirstPage | flBandOnLastPage);
}

TEST(TypedCodes, FrameSidesBandKindAndAlignment) {
  TfrMemoView memo;
  memo.FrameTyp = frLeft | frTop | 0x100;  // a bit past the sides is no side
  EXPECT_TRUE(memo.Sides().Has(FrameSide::Left));
  EXPECT_TRUE(memo.Sides().Has(FrameSide::Top));
  EXPECT_FALSE(memo.Sides().Has(FrameSide::Right));
  EXPECT_EQ(memo.Sides().ToBits(), frLeft | frTop);
  memo.FrameTyp = 0x100;
  EXPECT_TRUE(memo.Sides().Empty());

  // Through the base: a memo's own Alignment word hides the band alignment.
  const TfrView& view = memo;
  memo.BandAlign = baRest;
  EXPECT_EQ(view.Alignment(), baRest);
  memo.FrameStyle = fsDouble;
  EXPECT_EQ(view.Style(), fsDouble);

  TfrBandView band;
  band.FrameTyp = btGroupFooter;
  EXPECT_EQ(band.BandKind(), btGroupFooter);
  EXPECT_TRUE(IsKnownBandType(band.BandKind()));
  band.FrameTyp = btNone + 1;
  EXPECT_FALSE(IsKnownBandType(band.BandKind()));
}

}  // namespace
}  // namespace quillet
