// Thin bases: views that stretch with their content, and views that host a
// windowing-toolkit control on dialog pages.
#pragma once

#include <string>
#include <vector>

#include "report/views/view.h"

namespace quillet {

// A non-visual component of a dialog form, supplied by the window layer.
class DialogComponent {
 public:
  virtual ~DialogComponent() = default;
  // The component takes the name its report object was given.
  virtual void Rename(const std::string& name) = 0;
};

class TfrStretcheable : public TfrView {
 public:
  // 0 whole object, 1 after its height was measured, 2 continued part of an
  // object split across pages.
  std::uint8_t DrawPass = 0;

  // Report pixels needed to show all content.
  virtual int CalcHeight() = 0;
  // Height of the smallest piece that may be printed.
  virtual int LeastPieceHeight() = 0;
  // Height left after the piece that fits.
  virtual int LeftoverHeight() = 0;

  Variant CallMethod(const std::string& name, const Variant& a1, const Variant& a2,
                     const Variant& a3) override;
};

// A toolkit control shown on a dialog page, supplied by the window layer.
class HostedControl {
 public:
  virtual ~HostedControl() = default;
  virtual void SetSize(int width, int height) = 0;
  virtual void SetVisible(bool visible) = 0;
  // Renders the control at its size onto `canvas` with its top-left at (x, y).
  virtual void PaintTo(Canvas& canvas, int x, int y) = 0;
};

class TfrControl : public TfrView {
 public:
  TfrControl();
  HostedControl* Control = nullptr;  // not owned

  void Draw(Canvas& canvas) override;
  virtual void PaintControl();

  // Named properties (control_properties.cpp): "Name", the position and
  // size, "Visible" (which also shows or hides the control) and
  // "Restrictions".
  void RegisterProperties() override;
  void WriteProperty(const std::string& name, const Variant& value) override;
};

class TfrNonVisualControl : public TfrControl {
 public:
  TfrNonVisualControl();
  DialogComponent* Component = nullptr;  // the component it stands for, not owned
  std::vector<std::string> FixupList;    // named-variable list
  RasterImage Icon;                      // never set by this system

  void Draw(Canvas& canvas) override;

  // Named properties: "Name" (which also renames the component) and
  // "Restrictions".
  void RegisterProperties() override;
  void WriteProperty(const std::string& name, const Variant& value) override;
};

}  // namespace quillet
