// TfrPictureView: a bitmap, metafile, icon, JPEG, PNG or SVG picture placed
// in the view's rectangle, stretched (optionally keeping its aspect) or at
// its own size, optionally centred. The picture is held in the record, or
// read from a file the record names (PictureFile), or taken from a data
// field holding the bytes or a file path.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "report/graphics/graphic.h"
#include "report/views/view.h"

namespace quillet {

// Flags bits of picture views (bit 0 is the base's Stretched).
constexpr std::uint16_t flPictureCenter = 2;
constexpr std::uint16_t flPictureKeepAspect = 4;

// The picture bits of the Flags word, typed.
enum class PictureFlag : std::uint16_t {
  Stretched = flStretched,
  Center = flPictureCenter,
  KeepAspect = flPictureKeepAspect,
};
using PictureFlags = FlagSet<PictureFlag>;

// BlobType: the graphic kind a data field holds; btFileName: the field
// holds the path of a picture file (relative paths from the template's
// folder). Values past btWMF are stored from stream version 26 on.
enum BlobTypeCode : std::uint8_t {
  btBMP = 0,
  btJPG = 1,
  btICO = 2,
  btWMF = 3,
  btPNG = 4,
  btSVG = 5,
  btFileName = 6,
};

class TfrPictureView : public TfrView {
 public:
  TfrPictureView();

  PictureFlags Options() const { return PictureFlags::FromBits(Flags); }

  std::unique_ptr<TfrView> Create() const override;
  std::string ClassName() const override { return "TfrPictureView"; }

  // Named properties "Picture", "Stretched", "Center", "KeepAspect",
  // "DataField", "BlobType"; method "LOADFROMFILE" (its argument evaluated).
  void RegisterProperties() override;
  void WriteProperty(const std::string& name, const Variant& value) override;
  Variant ReadProperty(const std::string& name) override;
  Variant CallMethod(const std::string& name, const Variant& a1, const Variant& a2,
                     const Variant& a3) override;

  // Background, the picture into TargetRect() (a 24-bit bitmap on printer
  // canvases, metafiles excepted), frame. An empty picture draws nothing.
  void Draw(Canvas& canvas) override;
  // The tail after the common record: kind byte, BlobType, end position,
  // from version 26 on the picture file's path (a counted text, empty for
  // none), and the graphic's bytes. A template record whose picture comes
  // from a file holds no bytes (kind None): the template reads the file
  // (ResolvePictureFile); prepared pages hold the bytes as read. Bytes that
  // do not decode (or picture sizes beyond the engine's limits) are kept
  // undrawn with the reason (Graphic::KeepRefused); a record cut short or a
  // kind its version cannot hold raises StreamReadError. Writing asks for
  // version 26 (RecordWriter::Require) when the record needs it.
  void ReadRecord(RecordReader& stream) override;
  void WriteRecord(RecordWriter& stream) override;
  // A picture whose file could not be read is not written into a prepared
  // page: FileOpenError naming the object and the path ends the run.
  void Record(MemoryStream& page) override;
  // Data fields reach pictures through LoadFromBlob once data sets exist.
  void LoadFromField(const TfrDataField* field) override;

  // Device rectangle the picture is drawn into; valid between PrepareDraw
  // and RestoreCoords, for a picture that is not empty.
  Rect TargetRect() const;
  // A data field's content as a graphic of the BlobType's kind, or (for
  // btFileName) the picture file whose path the field holds; a null field
  // or an empty path empties the picture. Throws StreamReadError for bytes
  // that do not read and FileOpenError naming the object, the field's path
  // and where it was looked for when the file cannot be read.
  void LoadFromBlob(bool isNull, std::vector<std::uint8_t> bytes);
  // Loads the named file; an empty name or a missing file empties the
  // picture silently. Unreadable contents raise StreamReadError.
  void LoadPictureFile(const std::string& path);

  // Where a picture path is looked for: absolute paths as they are,
  // relative ones from TemplateDirectory (the working directory when that
  // is empty).
  std::string ResolvedPath(const std::string& path) const;
  // Sets TemplateDirectory and reads PictureFile, when there is one. A file
  // that cannot be read leaves the picture empty with the reason in
  // Picture.Refusal() (naming the path as given and where it was looked
  // for) and PictureFileMissing set; nothing is thrown.
  void ResolvePictureFile(const std::string& templateDirectory);

  Graphic Picture;
  std::uint8_t BlobType = btBMP;
  // The file the picture comes from, as the template gives it (relative to
  // the template's folder, or absolute); empty when the record holds it.
  std::string PictureFile;
  // The folder of the template file this view was loaded from; empty for a
  // template that has none.
  std::string TemplateDirectory;
  // Set while the picture of PictureFile could not be read.
  bool PictureFileMissing = false;
};

}  // namespace quillet
