// Every graphic reader on hostile bytes. The first byte chooses the reader:
// 0..4 a graphic of that kind (none, bitmap, metafile, icon, JPEG), 0xF0 and
// up a graphic of kind (byte - 0xF0) mod 7 (adding PNG and SVG, which fail
// here as no picture codecs are installed: the header checks before them
// still run), anything else a whole picture view record (odd: prepared
// variant; bit 1: stream version 26, with the picture file's path). Reading
// may fail only with StreamReadError; what reads must draw, convert, copy
// and read back from its own saved bytes to the same picture.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/errors.h"
#include "platform/recording_canvas.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/base/record_stream.h"
#include "report/graphics/graphic.h"
#include "report/views/object_records.h"
#include "report/views/picture_view.h"

namespace {

using namespace quillet;

void Check(bool ok) {
  if (!ok) std::abort();
}

void Exercise(const Graphic& g) {
  RecordingCanvas canvas;
  g.Draw(canvas, {3, 4, 67, 52});
  g.Draw(canvas, {0, 0, 1, 1});
  const RasterImage flat = g.ToBitmap24();
  Check(flat.pixels.size() == std::size_t(flat.width) * std::size_t(flat.height));
  Graphic copy = g;
  Check(copy.Bytes() == g.Bytes() && copy.Width() == g.Width());
  Graphic again;
  again.Load(g.Kind(), g.Bytes());
  Check(again.Width() == g.Width() && again.Height() == g.Height());
  Check(again.Image() == g.Image());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  Prep().RenderActive = true;
  const std::uint8_t selector = data[0];
  std::vector<std::uint8_t> bytes(data + 1, data + size);
  try {
    if (selector < 5 || selector >= 0xF0) {
      Graphic g;
      g.Load(static_cast<GraphicKind>(selector < 5 ? selector : (selector - 0xF0) % 7), bytes);
      Exercise(g);
    } else {
      TfrPictureView view;
      view.PreparedMode = (selector & 1) != 0;
      const int version = (selector & 2) != 0 ? kPictureFilesVersion : kNamedRecordsVersion;
      MemoryStream in(bytes);
      RecordReader reader(in, version);
      ReadViewRecord(reader, view);
      Exercise(view.Picture);
      view.SetGeometry(0, 0, 120, 80);
      // The common frame drawing strokes a dashed frame as one line per
      // pixel of width, so a stored width of a million stalls any drawer;
      // that belongs to the view base, not to the picture readers.
      if (!(view.FrameWidth >= 0 && view.FrameWidth <= 64)) view.FrameWidth = 1;
      RecordingCanvas canvas;
      view.Draw(canvas);
      MemoryStream out;
      RecordWriter writer(out, version);
      view.WriteRecord(writer);
    }
  } catch (const StreamReadError&) {
  }
  return 0;
}
