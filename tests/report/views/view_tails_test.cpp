// The record tails of band, line, picture and sub-report views: exact
// layout after the common record, and write -> read -> write giving the
// same bytes in the template and in the prepared variant.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/recording_canvas.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/graphics/bmp_codec.h"
#include "report/graphics/icon_codec.h"
#include "report/graphics/jpeg_codec.h"
#include "report/views/band_view.h"
#include "report/views/line_view.h"
#include "report/views/picture_view.h"
#include "report/views/subreport_view.h"
#include "report/views/view_registry.h"
#include "tests/report/base/record_support.h"

namespace quillet {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A plain view: only the common record, to compare tails against.
class PlainView : public TfrView {
 public:
  std::unique_ptr<TfrView> Create() const override { return std::make_unique<PlainView>(); }
  std::string ClassName() const override { return "PlainView"; }
};

void FillCommon(TfrView& v, bool prepared) {
  v.PreparedMode = prepared;
  v.Name = "Obj7";
  v.SetGeometry(12, 34, 200, 48);
  v.FrameColor = 0x00112233;
  v.FrameWidth = 1.5f;
  v.FrameStyle = fsDash;
  v.FillColor = 0x00FFEEDD;
  v.FormatText = "Form1.Table1";
  v.Memo = {"first", "second"};
  v.WorkText = {"shown"};
  v.ScriptLines = {"begin", "end"};
  v.Tag = "tag";
  v.BandAlign = baCenter;
}

// The common record as a plain view with the same fields writes it.
Bytes CommonRecord(const TfrView& like, std::uint8_t subVersion) {
  PlainView p;
  static_cast<TfrView&>(p) = like;  // copies the base's fields
  p.RecordSubVersion = subVersion;
  MemoryStream s;
  test::WriteRecordAt(p, s);
  return s.Bytes();
}

Bytes Written(TfrView& v) {
  MemoryStream s;
  test::WriteRecordAt(v, s);
  return s.Bytes();
}

// Reads `bytes` into a new view of the same kind and mode, checks that the
// whole record was consumed, and returns what that view writes.
Bytes ReadBackAndWrite(const TfrView& kind, const Bytes& bytes,
                       std::unique_ptr<TfrView>* out = nullptr) {
  std::unique_ptr<TfrView> v = kind.Create();
  v->PreparedMode = kind.PreparedMode;
  MemoryStream in(bytes);
  test::ReadRecordAt(*v, in);
  EXPECT_TRUE(in.AtEnd()) << "record not read to its end";
  if (v->PreparedMode) v->WorkText = v->Memo;  // what a prepared page draws is written again
  Bytes again = Written(*v);
  if (out) *out = std::move(v);
  return again;
}

void Append(Bytes& b, std::initializer_list<std::uint8_t> more) {
  b.insert(b.end(), more);
}

class ViewTails : public ::testing::TestWithParam<bool> {
 protected:
  bool Prepared() const { return GetParam(); }
};

TEST_P(ViewTails, BandTailAfterTheCommonRecord) {
  TfrBandView band;
  FillCommon(band, Prepared());
  band.FrameTyp = btGroupHeader;
  band.ChildBand = "Ch";
  band.Master = "M";
  band.Columns = 3;
  band.ColumnWidth = 0x0102;
  band.ColumnGap = -1;
  band.NewColumnAfter = 5;
  const Bytes bytes = Written(band);
  EXPECT_EQ(band.RecordVersion, 2);
  EXPECT_EQ(band.RecordSubVersion, 1);
  Bytes expected = CommonRecord(band, 1);
  Append(expected, {2,    0,    'C',  'h',  0, 3, 0, 0, 0, 2, 1,   0, 0,
                    0xFF, 0xFF, 0xFF, 0xFF, 5, 0, 0, 0, 1, 0, 'M', 0});
  EXPECT_EQ(bytes, expected);
  std::unique_ptr<TfrView> back;
  EXPECT_EQ(ReadBackAndWrite(band, bytes, &back), bytes);
  auto& b = static_cast<TfrBandView&>(*back);
  EXPECT_EQ(b.FrameTyp, btGroupHeader);
  EXPECT_EQ(b.ChildBand, "Ch");
  EXPECT_EQ(b.Master, "M");
  EXPECT_EQ(b.ColumnGap, -1);
  EXPECT_EQ(b.NewColumnAfter, 5u);
}

TEST_P(ViewTails, SubReportAndLineTails) {
  TfrSubReportView sub;
  FillCommon(sub, Prepared());
  sub.SubPageIndex = 0x01020304;
  Bytes expected = CommonRecord(sub, 0);
  Append(expected, {4, 3, 2, 1});
  const Bytes bytes = Written(sub);
  EXPECT_EQ(bytes, expected);
  std::unique_ptr<TfrView> back;
  EXPECT_EQ(ReadBackAndWrite(sub, bytes, &back), bytes);
  EXPECT_EQ(static_cast<TfrSubReportView&>(*back).SubPageIndex, 0x01020304);

  TfrLineView line;
  FillCommon(line, Prepared());
  EXPECT_EQ(Written(line), CommonRecord(line, 0));  // no tail of its own
  EXPECT_EQ(ReadBackAndWrite(line, Written(line)), Written(line));
}

TEST_P(ViewTails, PictureTailOfEveryGraphicKind) {
  RasterImage card{3, 2, {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0x80FFFFFFu, 0xFF000000u, 0}};
  RecordingCanvas rec;
  rec.SetBrushColor(0x123456);
  rec.FillRect({1, 2, 30, 20});
  Bytes unreadable = {'W', 'M', 'F', 0, 1, 2, 3};

  std::vector<std::pair<GraphicKind, Bytes>> cases;
  cases.emplace_back(GraphicKind::None, Bytes{});
  cases.emplace_back(GraphicKind::Bitmap, EncodeBmp(card, 32));
  cases.emplace_back(GraphicKind::Icon, EncodeIcon(card));
  cases.emplace_back(GraphicKind::Jpeg, EncodeJpeg(card));
  MemoryStream meta;
  rec.Save(meta);
  cases.emplace_back(GraphicKind::Metafile, meta.Bytes());
  cases.emplace_back(GraphicKind::Metafile, unreadable);
  cases.emplace_back(GraphicKind::Bitmap, Bytes{});  // an empty bitmap

  for (const auto& [kind, graphic] : cases) {
    SCOPED_TRACE(int(kind));
    TfrPictureView pic;
    FillCommon(pic, Prepared());
    pic.BlobType = btICO;
    pic.Picture.Load(kind, graphic);
    const Bytes bytes = Written(pic);
    Bytes expected = CommonRecord(pic, 0);
    const std::uint32_t end = std::uint32_t(expected.size() + 6 + graphic.size());
    Append(expected, {std::uint8_t(kind), btICO, std::uint8_t(end), std::uint8_t(end >> 8),
                      std::uint8_t(end >> 16), std::uint8_t(end >> 24)});
    expected.insert(expected.end(), graphic.begin(), graphic.end());
    EXPECT_EQ(bytes, expected);
    std::unique_ptr<TfrView> back;
    EXPECT_EQ(ReadBackAndWrite(pic, bytes, &back), bytes);
    auto& p = static_cast<TfrPictureView&>(*back);
    EXPECT_EQ(p.Picture.Kind(), kind);
    EXPECT_EQ(p.BlobType, btICO);
    EXPECT_EQ(p.Picture.Bytes(), graphic);
  }
}

TEST_P(ViewTails, PictureRecordEndsAtItsEndPositionInALongerStream) {
  TfrPictureView pic;
  FillCommon(pic, Prepared());
  pic.Picture.SetImage(GraphicKind::Bitmap,
                       RasterImage{2, 2, std::vector<std::uint32_t>(4, 0xFF00FF00u)});
  MemoryStream s;
  s.WriteBytes("prefix");
  test::WriteRecordAt(pic, s);
  const std::uint64_t recordEnd = s.Position();
  s.WriteBytes("next record");
  s.Seek(6);
  TfrPictureView back;
  back.PreparedMode = Prepared();
  test::ReadRecordAt(back, s);
  EXPECT_EQ(s.Position(), recordEnd);
  EXPECT_EQ(back.Picture.Width(), 2);
  EXPECT_EQ(back.Picture.Image().pixels, std::vector<std::uint32_t>(4, 0xFF00FF00u));
}

INSTANTIATE_TEST_SUITE_P(TemplateAndPrepared, ViewTails, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Prepared" : "Template"; });

TEST(PictureRecord, BadTailsRaiseStreamReadErrorAndBadPicturesAreKept) {
  TfrPictureView pic;
  pic.Picture.SetImage(GraphicKind::Bitmap,
                       RasterImage{4, 4, std::vector<std::uint32_t>(16, 0xFFFFFFFFu)});
  const Bytes good = Written(pic);
  const std::size_t tail = CommonRecord(pic, 0).size();
  auto readBack = [](const Bytes& b) {
    TfrPictureView v;
    MemoryStream in(b);
    test::ReadRecordAt(v, in);
  };
  Bytes b = good;
  b[tail] = 9;  // no such graphic kind
  EXPECT_THROW(readBack(b), StreamReadError);
  b = good;
  b[tail + 5] = 0x7F;  // end position far past the stream
  EXPECT_THROW(readBack(b), StreamReadError);
  b = good;
  b[tail + 2] = 0;  // end position before the graphic
  b[tail + 3] = 0;
  EXPECT_THROW(readBack(b), StreamReadError);
  EXPECT_THROW(readBack(Bytes(good.begin(), good.end() - 1)), StreamReadError);
  // A bitmap that does not decode keeps its bytes and says why.
  b = good;
  b[tail + 6 + 18] = 0xFF;  // the bitmap's width: rows past its data
  TfrPictureView refused;
  MemoryStream in(b);
  ASSERT_NO_THROW(test::ReadRecordAt(refused, in));
  EXPECT_TRUE(refused.Picture.IsEmpty());
  EXPECT_FALSE(refused.Picture.Refusal().empty());
  EXPECT_EQ(Written(refused), b);
  // An unreadable metafile is no error: it is kept and draws nothing.
  b = good;
  b[tail] = std::uint8_t(GraphicKind::Metafile);
  EXPECT_NO_THROW(readBack(b));
}

TEST(ViewKinds, FactoryMakesEachBuiltInKindWithItsDefaults) {
  auto pic = CreateViewByKind(Engine(), gtPicture, "");
  auto band = CreateViewByKind(Engine(), gtBand, "");
  auto sub = CreateViewByKind(Engine(), gtSubReport, "");
  auto line = CreateViewByKind(Engine(), gtLine, "");
  ASSERT_TRUE(dynamic_cast<TfrPictureView*>(pic.get()));
  ASSERT_TRUE(dynamic_cast<TfrBandView*>(band.get()));
  ASSERT_TRUE(dynamic_cast<TfrSubReportView*>(sub.get()));
  ASSERT_TRUE(dynamic_cast<TfrLineView*>(line.get()));
  EXPECT_EQ(pic->ObjectType, gtPicture);
  EXPECT_EQ(pic->Flags, 5);
  EXPECT_EQ(pic->NamePrefix, "Picture");
  EXPECT_EQ(band->ObjectType, gtBand);
  EXPECT_EQ(band->Flags, 48);
  EXPECT_EQ(band->DisplayFormat, 0);
  EXPECT_EQ(band->NamePrefix, "Band");
  auto& b = static_cast<TfrBandView&>(*band);
  EXPECT_EQ(b.Columns, 1);
  EXPECT_EQ(b.ColumnWidth, 200);
  EXPECT_EQ(b.ColumnGap, 20);
  EXPECT_EQ(b.NewColumnAfter, 1u);
  EXPECT_EQ(sub->ObjectType, gtSubReport);
  EXPECT_EQ(sub->NamePrefix, "SubReport");
  EXPECT_EQ(line->ObjectType, gtLine);
  EXPECT_EQ(line->FrameTyp, frLeft);
  EXPECT_EQ(line->FillColor, clWhite);
  EXPECT_EQ(line->NamePrefix, "Line");
}

}  // namespace
}  // namespace quillet
