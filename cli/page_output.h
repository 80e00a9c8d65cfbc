// Prepared pages drawn through the same DrawPage as the preview and the
// printer, into PNG, PDF and SVG files. Every file is written beside its
// target and renamed over it only once complete.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quillet {
class TfrEMFPages;
}

namespace quillet::cli {

// Zero-based page indexes; `scale` multiplies report pixels (PNG, SVG).
void WritePng(TfrEMFPages& pages, int index, double scale, const std::string& path);
void WritePngPages(TfrEMFPages& pages, const std::vector<int>& indexes, double scale,
                   const std::string& folder);
// The same with a scale chosen per page (see ScaleForLongerSide).
void WritePngPages(TfrEMFPages& pages, const std::vector<int>& indexes,
                   const std::function<double(int)>& scaleOfPage, const std::string& folder);
// The scale that draws page `index` with its longer side `pixels` long.
double ScaleForLongerSide(TfrEMFPages& pages, int index, int pixels);
// One PDF page per index, each at its paper's true size.
void WritePdf(TfrEMFPages& pages, const std::vector<int>& indexes, const std::string& path);
void WriteSvgPages(TfrEMFPages& pages, const std::vector<int>& indexes, double scale,
                   const std::string& folder);

// "page-001.png" for index 0.
std::string PageFileName(int index, const std::string& extension);

}  // namespace quillet::cli
