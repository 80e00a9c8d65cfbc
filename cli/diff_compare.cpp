#include "cli/diff_compare.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>

namespace quillet::cli {
namespace {

std::string Geometry(const ObjectFacts& o) {
  return std::to_string(o.left) + "," + std::to_string(o.top) + " " + std::to_string(o.width) +
         "x" + std::to_string(o.height);
}

std::string FontText(const FontFacts& f) {
  std::string text = f.name + " " + std::to_string(f.size) + "pt";
  if (f.style & 2) text += " bold";
  if (f.style & 1) text += " italic";
  if (f.style & 4) text += " underline";
  if (f.style & 8) text += " strikeout";
  return text + " " + ColorText(f.color);
}

// Size and an FNV-1a checksum: two pictures of one size still read apart.
std::string PictureText(const ObjectFacts& o) {
  if (o.pictureBytes.empty()) return "empty";
  std::uint32_t hash = 2166136261u;
  for (std::uint8_t byte : o.pictureBytes) hash = (hash ^ byte) * 16777619u;
  char sum[16];
  std::snprintf(sum, sizeof sum, "%08x", hash);
  return std::to_string(o.pictureBytes.size()) + " bytes, checksum " + sum;
}

bool Moved(int a, int b, int tolerance) {
  return std::abs(static_cast<long long>(a) - b) > tolerance;
}

bool GeometryDiffers(const ObjectFacts& a, const ObjectFacts& b, int tolerance) {
  return Moved(a.left, b.left, tolerance) || Moved(a.top, b.top, tolerance) ||
         Moved(a.left + a.width, b.left + b.width, tolerance) ||
         Moved(a.top + a.height, b.top + b.height, tolerance);
}

class PageComparer {
 public:
  PageComparer(int page, int tolerance, std::vector<Difference>& out)
      : page_(page), tolerance_(tolerance), out_(out) {}

  void Compare(const PageFacts& a, const PageFacts& b) {
    if (a.widthPx != b.widthPx || a.heightPx != b.heightPx) {
      Difference d = PageLevel("paper");
      d.before = std::to_string(a.widthPx) + "x" + std::to_string(a.heightPx);
      d.after = std::to_string(b.widthPx) + "x" + std::to_string(b.heightPx);
      out_.push_back(d);
    }
    std::map<std::string, int> countA = Counts(a), countB = Counts(b);
    std::map<std::pair<std::string, int>, const ObjectFacts*> inA;
    for (const ObjectFacts& o : a.objects) inA[{o.name, o.occurrence}] = &o;
    for (const ObjectFacts& o : b.objects) {
      const auto it = inA.find({o.name, o.occurrence});
      const bool repeated = countA[o.name] > 1 || countB[o.name] > 1;
      if (it == inA.end()) {
        Add(o, repeated, "object", "", "present", true);
        continue;
      }
      CompareObject(*it->second, o, repeated);
      inA.erase(it);
    }
    for (const ObjectFacts& o : a.objects)
      if (inA.count({o.name, o.occurrence}))
        Add(o, countA[o.name] > 1 || countB[o.name] > 1, "object", "present", "", false);
  }

  Difference PageLevel(const std::string& property) const {
    Difference d;
    d.page = page_;
    d.property = property;
    return d;
  }

 private:
  static std::map<std::string, int> Counts(const PageFacts& page) {
    std::map<std::string, int> counts;
    for (const ObjectFacts& o : page.objects) ++counts[o.name];
    return counts;
  }

  void Add(const ObjectFacts& o, bool repeated, const std::string& property, std::string before,
           std::string after, bool inB) {
    Difference d;
    d.page = page_;
    d.kind = o.kind;
    d.name = o.name;
    d.occurrence = repeated || o.name.empty() ? o.occurrence : 0;
    d.property = property;
    d.before = std::move(before);
    d.after = std::move(after);
    d.marked = true;
    d.inB = inB;
    d.left = o.left;
    d.top = o.top;
    d.width = o.width;
    d.height = o.height;
    out_.push_back(std::move(d));
  }

  void CompareObject(const ObjectFacts& a, const ObjectFacts& b, bool repeated) {
    if (a.kind != b.kind) {
      Add(b, repeated, "kind", a.kind, b.kind, true);
      return;
    }
    if (a.text != b.text) Add(b, repeated, "text", a.text, b.text, true);
    if (GeometryDiffers(a, b, tolerance_))
      Add(b, repeated, "geometry", Geometry(a), Geometry(b), true);
    if (a.font != b.font)
      Add(b, repeated, "font", a.font ? FontText(*a.font) : "", b.font ? FontText(*b.font) : "",
          true);
    if (a.frameColor != b.frameColor)
      Add(b, repeated, "frame colour", ColorText(a.frameColor), ColorText(b.frameColor), true);
    if (a.fillColor != b.fillColor)
      Add(b, repeated, "fill colour", ColorText(a.fillColor), ColorText(b.fillColor), true);
    if (a.pictureBytes != b.pictureBytes)
      Add(b, repeated, "picture", PictureText(a), PictureText(b), true);
  }

  int page_;
  int tolerance_;
  std::vector<Difference>& out_;
};

// A value as the summary shows it: texts quoted, control characters escaped.
std::string Shown(const Difference& d, const std::string& value) {
  if (d.property != "text") return value.empty() ? "(none)" : value;
  std::string out = "\"";
  for (char c : value) {
    if (c == '\n')
      out += "\\n";
    else if (c == '"')
      out += "\\\"";
    else if (c == '\\')
      out += "\\\\";
    else
      out += c;
  }
  return out + "\"";
}

}  // namespace

std::vector<Difference> ComparePages(const std::vector<PageFacts>& a,
                                     const std::vector<PageFacts>& b, int tolerance) {
  std::vector<Difference> out;
  if (a.size() != b.size()) {
    Difference d;
    d.property = "pages";
    d.before = std::to_string(a.size());
    d.after = std::to_string(b.size());
    out.push_back(d);
  }
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i)
    PageComparer(static_cast<int>(i) + 1, tolerance, out).Compare(a[i], b[i]);
  for (std::size_t i = common; i < std::max(a.size(), b.size()); ++i) {
    const bool onlyB = i < b.size();
    Difference d = PageComparer(static_cast<int>(i) + 1, tolerance, out).PageLevel("page");
    const std::size_t objects = onlyB ? b[i].objects.size() : a[i].objects.size();
    const std::string present = std::to_string(objects) + (objects == 1 ? " object" : " objects");
    d.before = onlyB ? "" : present;
    d.after = onlyB ? present : "";
    out.push_back(d);
  }
  return out;
}

std::string ObjectLabel(const Difference& d) {
  std::string label = d.kind;
  if (!d.name.empty()) label += " " + d.name;
  if (d.occurrence > 0) label += " #" + std::to_string(d.occurrence);
  return label;
}

std::string SummaryLine(const Difference& d) {
  if (d.property == "pages") return "pages: " + d.before + " → " + d.after;
  const std::string where = "page " + std::to_string(d.page);
  if (d.property == "page")
    return where + ": " + (d.after.empty() ? "only in A (" + d.before : "only in B (" + d.after) +
           ")";
  if (d.property == "paper") return where + ": paper " + d.before + " → " + d.after;
  const std::string object = where + ", " + ObjectLabel(d);
  if (d.property == "object") return object + ": " + (d.inB ? "only in B" : "only in A");
  return object + ": " + d.property + " " + Shown(d, d.before) + " → " + Shown(d, d.after);
}

}  // namespace quillet::cli
