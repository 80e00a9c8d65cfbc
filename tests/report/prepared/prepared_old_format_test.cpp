// Older picture-based prepared-report files: each page's metafile becomes a
// picture object of the page's size, drawn scaled into the page.
#include <gtest/gtest.h>

#include "platform/recording_canvas.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/prepared/prepared_pages.h"
#include "report/views/picture_view.h"
#include "report/views/view_registry.h"
#include "tests/report/base/record_support.h"
#include "tests/report/prepared/prepared_support.h"

namespace quillet {
namespace {

std::string OldFormatFile(const std::string& metafile, int pages) {
  MemoryStream f;
  f.WriteBytes("Some printer\rAnother");
  f.WriteU8(0);
  f.WriteI32(pages);
  for (int i = 0; i < pages; ++i) {
    const std::uint64_t start = f.Position();
    const std::uint64_t next = start + 4 + 2 + 4 + 4 + 1 + 1 + metafile.size();
    f.WriteI32(static_cast<std::int32_t>(next));
    f.WriteI16(9);
    f.WriteI32(2100);
    f.WriteI32(2970);
    f.WriteU8(0);
    f.WriteU8(1);
    f.WriteBytes(metafile);
  }
  return f.BytesAsString();
}

using PreparedOldFormat = test::PreparedPagesTest;

TEST_F(PreparedOldFormat, PagesBecomePicturesHoldingTheirMetafile) {
  RecordingCanvas drawing;
  drawing.SetBrushColor(MakeColor(0, 128, 0));
  drawing.Rectangle(10, 10, 200, 100);
  MemoryStream meta;
  drawing.Save(meta);

  TfrEMFPages pages{Engine()};
  MemoryStream file(OldFormatFile(meta.BytesAsString(), 2));
  pages.ReadPreparedFile(file);
  ASSERT_EQ(pages.Count(), 2);

  Prep().RenderActive = true;
  pages[1].InUse = 1;
  RecordingCanvas out(DeviceKind::Metafile);
  pages.DrawPage(1, out, {0, 0, 758, 1071});
  bool sawRectangle = false;
  for (const CanvasOp& op : out.Ops())
    sawRectangle |= op.kind == OpKind::Rectangle && op.brush.color == MakeColor(0, 128, 0);
  EXPECT_TRUE(sawRectangle) << "the page's own drawing is replayed";
}

TEST_F(PreparedOldFormat, UnreadableMetafileIsKeptAndDrawsNothing) {
  TfrEMFPages pages{Engine()};
  MemoryStream file(OldFormatFile("not a recording", 1));
  pages.ReadPreparedFile(file);
  ASSERT_EQ(pages.Count(), 1);
  MemoryStream objects = pages[0].ObjectStream.Reader();
  objects.Seek(1);
  ASSERT_EQ(objects.ReadU8(), gtPicture);
  TfrPictureView picture;
  picture.PreparedMode = true;
  test::ReadRecordAt(picture, objects);
  EXPECT_EQ(picture.Picture.Kind(), GraphicKind::Metafile);
  EXPECT_EQ(picture.Left, 0);
  EXPECT_GT(picture.Width, 700);
}

}  // namespace
}  // namespace quillet
