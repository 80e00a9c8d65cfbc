// TfrPictureView: a bitmap, metafile, icon or JPEG picture placed in the
// view's rectangle, stretched (optionally keeping its aspect) or at its own
// size, optionally centred.
#pragma once

#include <cstdint>
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

// BlobType: the graphic kind a data field holds.
enum BlobTypeCode : std::uint8_t { btBMP = 0, btJPG = 1, btICO = 2, btWMF = 3 };

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
  // The tail after the common record: kind byte, BlobType, end position and
  // the graphic's bytes. Bytes that do not decode (or picture sizes beyond
  // the engine's limits) are kept undrawn with the reason
  // (Graphic::KeepRefused); a record cut short raises StreamReadError.
  void ReadRecord(RecordReader& stream) override;
  void WriteRecord(RecordWriter& stream) override;
  // Data fields reach pictures through LoadFromBlob once data sets exist.
  void LoadFromField(const TfrDataField* field) override;

  // Device rectangle the picture is drawn into; valid between PrepareDraw
  // and RestoreCoords, for a picture that is not empty.
  Rect TargetRect() const;
  // A data field's content as a graphic of the BlobType's kind; a null field
  // empties the picture. Throws StreamReadError for bytes that do not read.
  void LoadFromBlob(bool isNull, std::vector<std::uint8_t> bytes);
  // Loads the named file; an empty name or a missing file empties the
  // picture silently. Unreadable contents raise StreamReadError.
  void LoadPictureFile(const std::string& path);

  Graphic Picture;
  std::uint8_t BlobType = btBMP;
};

}  // namespace quillet
