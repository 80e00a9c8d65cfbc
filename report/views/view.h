// Folder report/views: the objects placed on report pages (text, picture,
// band, sub-report, line, shape) and the factory that makes them by kind;
// the text object lives in views/memo/. Views include platform/ and
// report/base/, graphics/, printer/ and expr/; what they need of the report
// and of the band being formed they reach through base/ interfaces.
//
// TfrView: the base of every object placed on a report page.
//
// Geometry is in report pixels, except between PrepareDraw and RestoreCoords,
// when the geometry fields hold device pixels for the canvas being drawn on.
// A page owns its views; Canvas, ParentBand and OwnerPage are not owned.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "report/base/evaluated_object.h"
#include "report/base/flag_set.h"
#include "report/base/object.h"
#include "report/base/record_stream.h"

namespace quillet {

// The font character set that stands for "whatever the system uses".
constexpr int kDefaultCharset = 1;

class Stream;
// A field's value for the current record (report/base/data_field.h).
struct TfrDataField;
class TfrDataset;
class ViewPage;
struct EngineGlobals;
struct PreparationState;
class TfrBandView;
class TfrBand;

using StringList = std::vector<std::string>;

// ObjectType codes.
enum : std::uint8_t {
  gtMemo = 0,
  gtPicture = 1,
  gtBand = 2,
  gtSubReport = 3,
  gtLine = 4,
  gtAddIn = 10,
};

// Flags bits of the base.
constexpr std::uint16_t flStretched = 1;

// FrameTyp side bits.
constexpr std::uint16_t frRight = 1;
constexpr std::uint16_t frBottom = 2;
constexpr std::uint16_t frLeft = 4;
constexpr std::uint16_t frTop = 8;
constexpr std::uint16_t frAllSides = frRight | frBottom | frLeft | frTop;

// The framed sides of an object, as FrameTyp stores them.
enum class FrameSide : std::uint16_t {
  Right = frRight,
  Bottom = frBottom,
  Left = frLeft,
  Top = frTop,
};
using FrameSides = FlagSet<FrameSide>;

// FrameStyle values.
enum FrameStyleCode : std::uint16_t {
  fsSolid = 0,
  fsDash,
  fsDot,
  fsDashDot,
  fsDashDotDot,
  fsDouble
};

// Where a band aligns an object (BandAlign).
enum BandAlignment : std::uint8_t {
  baNone = 0,
  baLeft,
  baRight,
  baCenter,
  baWidth,
  baBottom,
  baTop,
  baRest,
};

class TfrView : public TfrObject, public EvaluatedObject {
 public:
  TfrView();
  ~TfrView() override;

  // What the factory calls to make a view of the same class.
  virtual std::unique_ptr<TfrView> Create() const = 0;
  // The class name stored in streams for ObjectType 10 ("TfrShapeView").
  virtual std::string ClassName() const = 0;

  void SetGeometry(int left, int top, int width, int height);

  // EvaluatedObject.
  const std::string& EvaluatedName() const override { return Name; }
  const StringList& EvaluatedText() const override { return Memo; }

  virtual void DrawBackground();
  virtual void DrawFrame();
  virtual void LoadFromField(const TfrDataField* /*field*/) {}
  virtual void AfterReportLoaded() {}
  virtual void PrepareDraw();
  virtual void RestoreCoords();
  // Draws the view on `canvas`. The base provides none: AbstractError.
  virtual void Draw(Canvas& canvas);
  // Writes the view into the prepared page being formed (its object
  // stream, version byte first).
  virtual void Record(MemoryStream& page);
  virtual void Export(Stream& stream);
  // The record of a template stream or prepared page (record_stream.h).
  virtual void ReadRecord(RecordReader& stream);
  virtual void WriteRecord(RecordWriter& stream);
  // The character set whose code page holds the texts of the record in
  // streams before version 25 (the default set for views without a font).
  virtual int TextCharset() const;
  virtual Rect FrameRegion(bool inflate) const;

  // Named properties (view_properties.cpp): "Name", "Left" ... "Memo",
  // "Memo.Count"; methods "HIDE", "SHOW" and the memo list methods.
  void RegisterProperties() override;
  void WriteProperty(const std::string& name, const Variant& value) override;
  Variant ReadProperty(const std::string& name) override;
  Variant CallMethod(const std::string& name, const Variant& a1, const Variant& a2,
                     const Variant& a3) override;

  void AttachCanvas(Canvas* canvas);
  void ExpandTagExpressions();
  void MakeUniqueName();

  // Right and bottom device edges from the unscaled sums (valid while the
  // saved geometry is held, i.e. between PrepareDraw and RestoreCoords).
  int DeviceRight() const;
  int DeviceBottom() const;

  // Saved by PrepareDraw, put back by RestoreCoords.
  struct SavedGeometry {
    int Left = 0, Top = 0, Width = 0, Height = 0, GapX = 0, GapY = 0;
    float FrameWidth = 0;
  } Saved;

  std::string NamePrefix = "View";
  Canvas* Canvas_ = nullptr;  // the canvas being drawn on ("Canvas")
  Rect DrawRect;
  StringList WorkText;
  TfrDataset* BoundDataSet = nullptr;  // not owned
  std::string BoundFieldName;
  bool PreparedMode = false;
  std::string Name;
  std::uint8_t ObjectType = gtAddIn;
  std::uint8_t RecordVersion = 0;
  std::uint8_t RecordSubVersion = 0;
  std::int32_t SerialNumber = 0;
  // The band that owns the view while its page is formed (not owned).
  TfrBand* FormationBand = nullptr;
  double DeviceScaleX = 1.0;
  double DeviceScaleY = 1.0;
  std::int32_t DeviceOffsetX = 0;
  std::int32_t DeviceOffsetY = 0;
  bool OnPrinterCanvas = false;
  std::int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  // The stored flags word; each kind reads its bits through a typed set
  // (MemoFlags, BandFlags, PictureFlags), bit 0 through IsStretched.
  std::uint16_t Flags = flStretched;
  // Framed sides; a band view keeps its band type here instead (BandKind).
  std::uint16_t FrameTyp = 0;
  float FrameWidth = 1.0f;
  Color FrameColor = clBlack;
  std::uint16_t FrameStyle = fsSolid;
  Color FillColor = clNone;
  std::int32_t DisplayFormat = 0;
  std::string FormatText;
  std::int16_t Visible = -1;
  std::int32_t GapX = 2, GapY = 1;
  std::uint16_t Restrictions = 0;
  std::string Tag;
  StringList Memo;
  StringList ScriptLines;
  std::uint8_t BandAlign = baNone;
  // The stored codes above, typed.
  bool IsStretched() const { return (Flags & flStretched) != 0; }
  FrameSides Sides() const { return FrameSides::FromBits(FrameTyp & frAllSides); }
  FrameStyleCode Style() const { return static_cast<FrameStyleCode>(FrameStyle); }
  BandAlignment Alignment() const { return static_cast<BandAlignment>(BandAlign); }
  TfrBandView* ParentBand = nullptr;
  ViewPage* OwnerPage = nullptr;

  // The engine the view belongs to: its page's.
  EngineGlobals& Globals() const;
  PreparationState& Run() const;

 protected:
  // Draws one framed side with the frame's style (see DrawFrame).
  void DrawFrameLine(int x1, int y1, int x2, int y2);

 private:
  void ApplyBandAlignment();
};

// Holds a view in device coordinates for a scope: PrepareDraw when made,
// RestoreCoords when the scope ends, also when an error passes through.
class [[nodiscard]] DeviceCoordinates {
 public:
  explicit DeviceCoordinates(TfrView& view) : view_(view) { view_.PrepareDraw(); }
  ~DeviceCoordinates() { view_.RestoreCoords(); }
  DeviceCoordinates(const DeviceCoordinates&) = delete;
  DeviceCoordinates& operator=(const DeviceCoordinates&) = delete;

 private:
  TfrView& view_;
};

}  // namespace quillet
