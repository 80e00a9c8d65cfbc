// Values shared by the preview window's source files: the scroll bars'
// steps and range, and the properties its widgets and menu entries carry.
#pragma once

namespace quillet::preview_form {

constexpr int kSmallStep = 10;
constexpr int kLargeStep = 200;
constexpr int kScrollRange = 32000;
// The context-help number of a widget.
inline const char* const kHelpProperty = "helpContext";
// The zoom tag of a zoom menu entry (200 .. 10 percent; 1, 2, 3 the modes).
inline const char* const kZoomTagProperty = "zoomTag";

}  // namespace quillet::preview_form
