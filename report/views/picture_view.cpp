#include "report/views/picture_view.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>

#include "platform/errors.h"
#include "platform/numeric.h"
#include "platform/stream.h"
#include "report/base/data_field.h"
#include "report/base/engine_state.h"

namespace quillet {
namespace {

std::int32_t Clamp32(std::int64_t v) {
  return std::int32_t(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                               std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

TfrPictureView::TfrPictureView() {
  ObjectType = gtPicture;
  NamePrefix = "Picture";
  Flags = flStretched | flPictureKeepAspect;
  // The named constants btBMP .. btWMF join the engine's constant list when
  // that list exists (expressions and scripts are not built yet).
}

std::unique_ptr<TfrView> TfrPictureView::Create() const {
  return std::make_unique<TfrPictureView>();
}

Rect TfrPictureView::TargetRect() const {
  // Worked in 64 bits: a large picture at a large device scale must not
  // overflow the rectangle's arithmetic.
  const double pw = Picture.Width();
  const double ph = Picture.Height();
  const std::int64_t left = DrawRect.left, top = DrawRect.top;
  const std::int64_t areaW = std::int64_t(DrawRect.right) - left;
  const std::int64_t areaH = std::int64_t(DrawRect.bottom) - top;
  std::int64_t x = left, y = top, w, h;
  if (Options().Has(PictureFlag::Stretched)) {
    w = areaW;
    h = areaH;
    if (Options().Has(PictureFlag::KeepAspect)) {
      const double kx = Width / pw;
      const double ky = Height / ph;
      if (kx >= ky)
        w = Round64(pw * ky);
      else
        h = Round64(ph * kx);
      if (Options().Has(PictureFlag::Center)) {
        x += (areaW - w) / 2;
        y += (areaH - h) / 2;
      }
    }
  } else {
    w = Round64(pw * DeviceScaleX);
    h = Round64(ph * DeviceScaleY);
    if (Options().Has(PictureFlag::Center)) {
      x += (areaW - w) / 2;
      y += (areaH - h) / 2;
    }
  }
  return {Clamp32(x), Clamp32(y), Clamp32(x + w), Clamp32(y + h)};
}

void TfrPictureView::Draw(Canvas& canvas) {
  AttachCanvas(&canvas);
  const DeviceCoordinates device(*this);
  DrawBackground();
  if (!Picture.IsEmpty()) {
    const Rect target = TargetRect();
    if (OnPrinterCanvas && Picture.Kind() != GraphicKind::Metafile)
      canvas.DrawImage(target, Picture.ToBitmap24());
    else
      Picture.Draw(canvas, target);
  }
  // An empty picture has no placeholder: the editor that showed one is not
  // part of this system.
  DrawFrame();
}

void TfrPictureView::ReadRecord(RecordReader& s) {
  TfrView::ReadRecord(s);
  const std::uint8_t kind = s.ReadU8();
  if (RecordVersion * 10 + RecordSubVersion > 10) BlobType = s.ReadU8();
  const std::uint32_t end = s.ReadU32();
  if (kind > std::uint8_t(GraphicKind::Jpeg))
    throw StreamReadError("Unknown picture kind " + std::to_string(kind));
  if (end < s.Position() || end > s.Size())
    throw StreamReadError("Picture data end " + std::to_string(end) + " lies outside the stream");
  std::vector<std::uint8_t> bytes(end - s.Position());
  if (!bytes.empty()) s.ReadExact(bytes.data(), bytes.size());
  try {
    Picture.Load(static_cast<GraphicKind>(kind), bytes);
  } catch (const StreamReadError& e) {
    // A picture refused (too large, bad data) keeps its object and its
    // bytes; it draws nothing and says why (Picture.Refusal()).
    Picture.KeepRefused(static_cast<GraphicKind>(kind), std::move(bytes), e.what());
  }
  s.Seek(end);
}

void TfrPictureView::WriteRecord(RecordWriter& s) {
  TfrView::WriteRecord(s);
  s.WriteU8(static_cast<std::uint8_t>(Picture.Kind()));
  s.WriteU8(BlobType);
  const std::uint64_t endAt = s.Position();
  s.WriteI32(0);
  const std::vector<std::uint8_t>& bytes = Picture.Bytes();
  if (Picture.Kind() != GraphicKind::None && !bytes.empty()) s.Write(bytes.data(), bytes.size());
  const std::uint64_t end = s.Position();
  if (end > 0x7FFFFFFF) throw StreamWriteError("Picture data reaches past 2 GB");
  s.Seek(endAt);
  s.WriteU32(static_cast<std::uint32_t>(end));
  s.Seek(end);
}

void TfrPictureView::LoadFromField(const TfrDataField* field) {
  if (!field || field->IsNull) return LoadFromBlob(true, {});
  LoadFromBlob(false, std::vector<std::uint8_t>(field->Bytes.begin(), field->Bytes.end()));
}

void TfrPictureView::LoadFromBlob(bool isNull, std::vector<std::uint8_t> bytes) {
  const GraphicKind kind = GraphicKindOfBlobType(BlobType);
  if (isNull || kind == GraphicKind::None) {
    Picture.Clear();
    return;
  }
  Picture.Load(kind, std::move(bytes));
}

void TfrPictureView::LoadPictureFile(const std::string& path) {
  std::error_code ec;
  if (path.empty() || !std::filesystem::is_regular_file(path, ec)) {
    Picture.Clear();
    return;
  }
  Picture.LoadFromFile(path);
}

}  // namespace quillet
