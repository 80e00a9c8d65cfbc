#include "report/views/shape_view.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/errors.h"
#include "platform/numeric.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/base/text_format.h"
#include "report/expr/variables.h"
#include "report/views/view_registry.h"

namespace quillet {
namespace {

constexpr double kPi = std::numbers::pi;

bool OutsideTurn(int v) {
  return v < -360 || v > 360;
}

// The shape kind's 16 x 16 picture: an outlined ellipse over a triangle.
RasterImage ShapePicture() {
  RasterImage img{16, 16, std::vector<std::uint32_t>(256, 0x00FFFFFF)};
  auto set = [&img](int x, int y) {
    if (x >= 0 && x < 16 && y >= 0 && y < 16) img.pixels[y * 16 + x] = 0xFF000080;
  };
  for (int a = 0; a < 360; a += 4) {
    const double t = a * kPi / 180;
    set(8 + int(std::lround(6.5 * std::cos(t))), 6 + int(std::lround(5 * std::sin(t))));
  }
  for (int x = 2; x <= 13; ++x) set(x, 15);
  for (int y = 0; y < 6; ++y) {
    set(7 - y, 10 + y);
    set(8 + y, 10 + y);
  }
  return img;
}

}  // namespace

int MaxVisibleSides(float rx, float ry) {
  const double r = std::abs(double(rx)) + std::abs(double(ry));
  return static_cast<int>(std::min(8.0 * std::ceil(r) + 64, 1.0e7));
}

TfrShapeView::TfrShapeView() {
  NamePrefix = "Shape";
  ShapeKind = skRectangle;
}

void AddShapeKindConstants(TfrVariables& constants) {
  static constexpr const char* kKindNames[] = {
      "skRectangle", "skRoundRectangle", "skEllipse", "skTriangle", "skDiagonal1",
      "skDiagonal2", "skPolygon",        "skLineH",   "skLineV",    "skStar"};
  for (int i = 0; i < 10; ++i) constants.SetValue(kKindNames[i], Variant(i));
}

std::unique_ptr<TfrView> TfrShapeView::Create() const {
  return std::make_unique<TfrShapeView>();
}

void TfrShapeView::RegisterProperties() {
  TfrView::RegisterProperties();
  std::vector<Variant> codes;
  for (int i = 0; i <= 9; ++i) codes.emplace_back(i);
  AddEnumProperty("Shape",
                  "skRectangle;skRoundRectangle;skEllipse;skTriangle;skDiagonal1;"
                  "skDiagonal2;skPolygon;skLineH;skLineV;skStar",
                  std::move(codes));
}

void TfrShapeView::WriteProperty(const std::string& name, const Variant& value) {
  TfrView::WriteProperty(name, value);
  if (UpperCase(name) == "SHAPE") ShapeKind = static_cast<std::uint8_t>(value.AsInteger());
}

Variant TfrShapeView::ReadProperty(const std::string& name) {
  Variant v = TfrView::ReadProperty(name);
  if (v.IsNull() && UpperCase(name) == "SHAPE") return Variant(int(ShapeKind));
  return v;
}

void TfrShapeView::ReadRecord(RecordReader& stream) {
  TfrView::ReadRecord(stream);
  ShapeKind = stream.ReadU8();
}

void TfrShapeView::WriteRecord(RecordWriter& stream) {
  TfrView::WriteRecord(stream);
  stream.WriteU8(ShapeKind);
}

void TfrShapeView::Draw(Canvas& canvas) {
  AttachCanvas(&canvas);
  WorkText = Memo;
  // The template geometry comes back even when the Tag fails to convert.
  const DeviceCoordinates device(*this);
  const Color fill = FillColor;
  FillColor = clNone;
  DrawBackground();
  DrawFrame();
  FillColor = fill;
  DrawShape();
}

ShapeParams TfrShapeView::ParseTag(int width, int height) {
  if (Tag.empty()) Tag = "0;0;0;0;0;0";
  for (auto n = std::count(Tag.begin(), Tag.end(), ';'); n < 5; ++n) Tag += ";0";
  // Six fields; text after a sixth ";" is ignored.
  int field[6];
  std::size_t start = 0;
  for (int k = 0; k < 6; ++k) {
    std::size_t sep = std::min(Tag.find(';', start), Tag.size());
    field[k] = StrToInt(std::string_view(Tag).substr(start, sep - start));
    start = sep + 1;
  }
  ShapeParams p;
  p.Sides = field[0] == 0 ? 5 : field[0];
  p.CornerSize = field[1] == 0 ? Div(std::min(width, height), 4) : field[1];
  p.BrushStyle = (field[2] < 0 || field[2] > 1) ? 1 : field[2];
  p.Angle = OutsideTurn(field[3]) ? 0 : field[3];
  p.InnerPercent = OutsideTurn(field[4]) ? 0 : field[4];
  p.InnerSkew = OutsideTurn(field[5]) ? 0 : field[5];
  ShapeAngle = p.Angle;
  return p;
}

void TfrShapeView::DrawShape() {
  const int L = Left, T = Top, W = Width, H = Height;
  const int R = DeviceRight();
  const int B = DeviceBottom();
  const ShapeParams p = ParseTag(W, H);
  if (!Canvas_) return;
  Canvas& c = *Canvas_;
  c.SetPen({FrameColor, Round(FrameWidth), PenStyle::Solid, PenMode::Copy});
  c.SetBkMode(BkMode::Opaque);
  if (FillColor != clNone) c.SetBrushColor(FillColor);
  c.SetBrushStyle(p.BrushStyle == 0 ? BrushStyle::Solid : BrushStyle::Clear);
  const float rx = static_cast<float>(W) / 2;
  const float ry = static_cast<float>(H) / 2;
  switch (ShapeKind) {
    case skRectangle: c.Rectangle(L, T, R + 1, B + 1); break;
    case skRoundRectangle: c.RoundRect(L, T, R + 1, B + 1, p.CornerSize, p.CornerSize); break;
    case skEllipse: c.Ellipse(L, T, R + 1, B + 1); break;
    case skTriangle: {
      const Point pts[4] = {{R, B}, {L, B}, {L + Div(R - L, 2), T}, {R, B}};
      c.Polygon(pts);
      break;
    }
    case skDiagonal1: c.Line(L, B, R, T); break;
    case skDiagonal2: c.Line(L, T, R, B); break;
    case skPolygon: DrawRegularPolygon(p.Sides, L + Div(W, 2), rx, ry, T + Div(H, 2)); break;
    case skLineH: c.Line(L, T, R, T); break;
    case skLineV: c.Line(L, T, L, B); break;
    case skStar:
      DrawStar(p.Sides, L + Div(W, 2), rx, ry, T + Div(H, 2), p.InnerPercent, p.InnerSkew);
      break;
    default: break;  // kinds 10 .. 255 draw no figure
  }
}

std::vector<Point> TfrShapeView::RegularPolygonPoints(int sides, int cx, float rx, float ry,
                                                      int cy) const {
  if (sides < 0) throw RangeError();
  const int n = std::min(sides, MaxVisibleSides(rx, ry));
  std::vector<Point> pts;
  if (n == 0) return pts;
  const float step = static_cast<float>(2 * kPi / n);
  const double turn = ShapeAngle * kPi / 180;
  pts.reserve(n);
  for (int i = 0; i < n; ++i) {
    const double theta = i * double(step) + turn;
    pts.push_back({Round(rx * std::cos(theta)) + cx, Round(ry * std::sin(theta)) + cy});
  }
  return pts;
}

std::vector<Point> TfrShapeView::StarPoints(int sides, int cx, float rx, float ry, int cy,
                                            int innerPercent, int innerSkew) const {
  if (sides < 0) throw RangeError();
  const int n = std::min(sides, MaxVisibleSides(rx, ry));
  std::vector<Point> pts;
  if (n == 0) return pts;
  const float step = static_cast<float>(2 * kPi / n);
  const int half = Round(180.0 / n);
  const double turn = ShapeAngle * kPi / 180;
  const double innerStart = (half + ShapeAngle + innerSkew) * kPi / 180;
  const double irx = innerPercent * double(rx) / 100;
  const double iry = innerPercent * double(ry) / 100;
  pts.reserve(2 * std::size_t(n));
  for (int i = 0; i < n; ++i) {
    const double theta = i * double(step) + turn;
    pts.push_back({Round(rx * std::cos(theta)) + cx, Round(ry * std::sin(theta)) + cy});
    const double phi = innerStart + i * double(step);
    pts.push_back({Round(irx * std::cos(phi)) + cx, Round(iry * std::sin(phi)) + cy});
  }
  return pts;
}

void TfrShapeView::DrawRegularPolygon(int sides, int cx, float rx, float ry, int cy) {
  const std::vector<Point> pts = RegularPolygonPoints(sides, cx, rx, ry, cy);
  if (Canvas_) Canvas_->Polygon(pts);
}

void TfrShapeView::DrawStar(int sides, int cx, float rx, float ry, int cy, int innerPercent,
                            int innerSkew) {
  const std::vector<Point> pts = StarPoints(sides, cx, rx, ry, cy, innerPercent, innerSkew);
  if (Canvas_) Canvas_->Polygon(pts);
}

void RegisterShapeKind(EngineGlobals& engine) {
  RegisterObjectKind(
      engine, "TfrShapeView",
      [] { return std::unique_ptr<TfrView>(std::make_unique<TfrShapeView>()); }, ShapePicture(),
      "55226");
}

}  // namespace quillet
