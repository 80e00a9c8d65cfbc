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
#include "report/views/object_records.h"

namespace quillet {
namespace {

std::int32_t Clamp32(std::int64_t v) {
  return std::int32_t(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                               std::numeric_limits<std::int32_t>::max()));
}

// Longest picture path a record or a data field may hold.
constexpr std::size_t kMaxPicturePath = 4096;

// What is said when the file at `path` (looked for at `resolved`) cannot be
// read; `reason` is empty for a file that is not there.
std::string FileProblem(const std::string& path, const std::string& resolved,
                        const std::string& reason) {
  std::string text = "picture file \"" + path + "\"";
  if (reason.empty()) return text + " not found (looked for " + resolved + ")";
  return text + " (" + resolved + ") cannot be read: " + reason;
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
      canvas.DrawImage(target, Picture.ToBitmap24(target.Width(), target.Height()));
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
  const bool newer = s.AtLeast(kPictureFilesVersion);
  if (kind > std::uint8_t(newer ? kLastGraphicKind : kLastClassicGraphicKind))
    throw StreamReadError("Unknown picture kind " + std::to_string(kind));
  if (end < s.Position() || end > s.Size())
    throw StreamReadError("Picture data end " + std::to_string(end) + " lies outside the stream");
  PictureFile = newer ? ReadCountedString(s) : std::string();
  if (s.Position() > end || PictureFile.size() > kMaxPicturePath)
    throw StreamReadError("Picture file path of " + std::to_string(PictureFile.size()) +
                          " bytes does not fit the picture record");
  PictureFileMissing = false;
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
  // A template names its picture file and leaves the bytes to the file; a
  // prepared page keeps the bytes as they were read.
  const bool withBytes = PictureFile.empty() || PreparedMode;
  const GraphicKind kind = withBytes ? Picture.Kind() : GraphicKind::None;
  const bool newerBlob = BlobType >= btPNG && BlobType <= btFileName;
  if (kind > kLastClassicGraphicKind || newerBlob || !PictureFile.empty())
    s.Require(kPictureFilesVersion);
  s.WriteU8(static_cast<std::uint8_t>(kind));
  s.WriteU8(BlobType);
  const std::uint64_t endAt = s.Position();
  s.WriteI32(0);
  if (s.AtLeast(kPictureFilesVersion)) WriteCountedString(s, PictureFile);
  const std::vector<std::uint8_t>& bytes = Picture.Bytes();
  if (kind != GraphicKind::None && !bytes.empty()) s.Write(bytes.data(), bytes.size());
  const std::uint64_t end = s.Position();
  if (end > 0x7FFFFFFF) throw StreamWriteError("Picture data reaches past 2 GB");
  s.Seek(endAt);
  s.WriteU32(static_cast<std::uint32_t>(end));
  s.Seek(end);
}

void TfrPictureView::Record(MemoryStream& page) {
  // A picture bound to a data field takes its picture from the field.
  if (PictureFileMissing && BoundFieldName.empty())
    throw FileOpenError("Picture " + Name + ": " + Picture.Refusal());
  TfrView::Record(page);
}

void TfrPictureView::LoadFromField(const TfrDataField* field) {
  if (!field || field->IsNull) return LoadFromBlob(true, {});
  LoadFromBlob(false, std::vector<std::uint8_t>(field->Bytes.begin(), field->Bytes.end()));
}

void TfrPictureView::LoadFromBlob(bool isNull, std::vector<std::uint8_t> bytes) {
  PictureFileMissing = false;
  if (BlobType == btFileName) {
    const std::string path(bytes.begin(), bytes.end());
    if (isNull || path.empty()) {
      Picture.Clear();
      return;
    }
    if (path.size() > kMaxPicturePath || path.find('\0') != std::string::npos)
      throw StreamReadError("Picture " + Name + ": the data field holds no file path");
    const std::string resolved = ResolvedPath(path);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(resolved, ec))
      throw FileOpenError("Picture " + Name + ": " + FileProblem(path, resolved, ""));
    try {
      Picture.LoadFromFile(resolved);
    } catch (const EngineError& e) {
      throw FileOpenError("Picture " + Name + ": " + FileProblem(path, resolved, e.what()));
    }
    return;
  }
  const GraphicKind kind = GraphicKindOfBlobType(BlobType);
  if (isNull || kind == GraphicKind::None) {
    Picture.Clear();
    return;
  }
  Picture.Load(kind, std::move(bytes));
}

void TfrPictureView::LoadPictureFile(const std::string& path) {
  PictureFileMissing = false;
  std::error_code ec;
  if (path.empty() || !std::filesystem::is_regular_file(path, ec)) {
    Picture.Clear();
    return;
  }
  Picture.LoadFromFile(path);
}

std::string TfrPictureView::ResolvedPath(const std::string& path) const {
  const std::filesystem::path given(path);
  if (given.is_absolute() || TemplateDirectory.empty()) return given.lexically_normal().string();
  return (std::filesystem::path(TemplateDirectory) / given).lexically_normal().string();
}

void TfrPictureView::ResolvePictureFile(const std::string& templateDirectory) {
  TemplateDirectory = templateDirectory;
  PictureFileMissing = false;
  if (PictureFile.empty()) return;
  const std::string resolved = ResolvedPath(PictureFile);
  std::error_code ec;
  std::string problem;
  if (!std::filesystem::is_regular_file(resolved, ec)) {
    problem = FileProblem(PictureFile, resolved, "");
  } else {
    try {
      Picture.LoadFromFile(resolved);
      return;
    } catch (const EngineError& e) {
      problem = FileProblem(PictureFile, resolved, e.what());
    }
  }
  Picture.KeepRefused(GraphicKind::None, {}, problem);
  PictureFileMissing = true;
}

}  // namespace quillet
