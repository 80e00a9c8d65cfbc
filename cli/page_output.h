// Prepared pages drawn through the same DrawPage as the preview and the
// printer, into PNG, PDF and SVG files. Every file is written beside its
// target and renamed over it only once complete.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillet {
class RebuiltPage;
struct DocumentInfo;
struct PreparedPage;
class TfrEMFPages;
}  // namespace quillet

namespace quillet::cli {

// The largest page image a PNG is drawn from, checked before the image is
// made: 1 GiB of 32-bit pixels (an A4 page up to about scale 18; a drawing
// that size already takes seconds and as much memory again to encode), and
// at most 32767 pixels a side.
constexpr std::int64_t kMaxPngImageBytes = std::int64_t(1) << 30;
constexpr int kPngBytesPerPixel = 4;
constexpr int kMaxPngSide = 32767;

// Called with each page once drawn, while its rebuilt objects still exist
// (they are released right after): what a caller wants to know of the
// objects it learns here, without rebuilding the page again.
using PageDrawn = std::function<void(int index, const RebuiltPage& page)>;

// Raises EngineError (as below) when page `index` at `scale` would pass the
// PNG limits; nothing is allocated.
void CheckPngSize(const PreparedPage& page, int index, double scale);

// Zero-based page indexes; `scale` multiplies report pixels (PNG, SVG).
// A page whose PNG image would pass the limits above raises EngineError
// saying its paper size and scale, before anything is allocated or written.
// A folder of pages is written whole or not at all: each page goes to a
// temporary, and the temporaries replace the old files only once every page
// is written. They return the page files the folder holds beyond the new
// set, left from an earlier run (kept, for the caller to report).
void WritePng(TfrEMFPages& pages, int index, double scale, const std::string& path,
              const PageDrawn& drawn = {});
void WritePngPages(TfrEMFPages& pages, const std::vector<int>& indexes, double scale,
                   const std::string& folder, const PageDrawn& drawn = {});
// The same with a scale chosen per page (see ScaleForLongerSide).
std::vector<std::string> WritePngPages(TfrEMFPages& pages, const std::vector<int>& indexes,
                                       const std::function<double(int)>& scaleOfPage,
                                       const std::string& folder, const PageDrawn& drawn = {});
// The scale that draws page `index` with its longer side `pixels` long.
double ScaleForLongerSide(TfrEMFPages& pages, int index, int pixels);
// One PDF page per index, each at its paper's true size; the document
// carries `info`, the outline of the group headers on those pages and the
// report's page numbers as page labels (pdf_document_info.h).
void WritePdf(TfrEMFPages& pages, const std::vector<int>& indexes, const std::string& path,
              const DocumentInfo& info, const PageDrawn& drawn = {});
std::vector<std::string> WriteSvgPages(TfrEMFPages& pages, const std::vector<int>& indexes,
                                       double scale, const std::string& folder,
                                       const PageDrawn& drawn = {});

// The largest paper among the pages, "W x H mm", for what render reports.
std::string LargestPaper(TfrEMFPages& pages, const std::vector<int>& indexes);

// "page-001.png" for index 0.
std::string PageFileName(int index, const std::string& extension);

}  // namespace quillet::cli
