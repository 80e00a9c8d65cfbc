// TfrShapeView: one geometric figure inside the view's rectangle.
//
// The figure's parameters travel in Tag as six ";"-separated integers:
// sides, corner size (device pixels), brush style, angle, inner percent,
// inner skew. Drawing normalises Tag in place and validates the fields.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "report/views/view.h"

namespace quillet {

class TfrVariables;

enum ShapeKindCode : std::uint8_t {
  skRectangle = 0,
  skRoundRectangle,
  skEllipse,
  skTriangle,
  skDiagonal1,
  skDiagonal2,
  skPolygon,
  skLineH,
  skLineV,
  skStar,
};

// The six validated parameters of a shape's Tag.
struct ShapeParams {
  int Sides = 5;
  int CornerSize = 0;
  int BrushStyle = 0;
  int Angle = 0;
  int InnerPercent = 0;
  int InnerSkew = 0;
};

class TfrShapeView : public TfrView {
 public:
  TfrShapeView();

  std::unique_ptr<TfrView> Create() const override;
  std::string ClassName() const override { return "TfrShapeView"; }

  void RegisterProperties() override;
  void WriteProperty(const std::string& name, const Variant& value) override;
  Variant ReadProperty(const std::string& name) override;
  void ReadRecord(RecordReader& stream) override;
  void WriteRecord(RecordWriter& stream) override;
  // Raises ConversionError for a Tag field that is not an integer (nothing
  // of the figure drawn) and RangeError for a negative number of sides.
  void Draw(Canvas& canvas) override;

  // Normalises Tag and reads its fields; `width` and `height` are the device
  // size used for the default corner. Sets ShapeAngle.
  ShapeParams ParseTag(int width, int height);
  void DrawShape();
  void DrawRegularPolygon(int sides, int cx, float rx, float ry, int cy);
  void DrawStar(int sides, int cx, float rx, float ry, int cy, int innerPercent, int innerSkew);

  // The point lists the two figures are drawn with (also used by tests).
  std::vector<Point> RegularPolygonPoints(int sides, int cx, float rx, float ry, int cy) const;
  std::vector<Point> StarPoints(int sides, int cx, float rx, float ry, int cy, int innerPercent,
                                int innerSkew) const;

  std::int32_t ShapeAngle = 0;
  std::uint8_t ShapeKind = skRectangle;
};

// Registers TfrShapeView in the object-kind registry with its picture.
void RegisterShapeKind(EngineGlobals& engine);
// The shape kinds by name ("skRectangle" 0 .. "skStar" 9), for expressions
// and scripts; added to the named constants when the engine starts.
void AddShapeKindConstants(TfrVariables& constants);

// Most vertices a polygon or star of radii rx, ry is drawn with: beyond this
// many, neighbouring vertices fall on the same device pixels.
int MaxVisibleSides(float rx, float ry);

}  // namespace quillet
