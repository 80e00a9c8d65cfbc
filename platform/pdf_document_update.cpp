#include "platform/pdf_document_update.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "platform/errors.h"
#include "platform/pdf_objects.h"
#include "platform/utf8.h"

namespace quillet {
namespace {

std::string Ref(PdfRef r) {
  return std::to_string(r.Number) + " " + std::to_string(r.Generation) + " R";
}

// A coordinate with two decimals, whatever the C locale's decimal point.
std::string Points(double value) {
  if (!std::isfinite(value)) value = 0;
  const long long hundredths = std::llround(std::clamp(value, -1e9, 1e9) * 100);
  const long long magnitude = hundredths < 0 ? -hundredths : hundredths;
  char text[40];
  std::snprintf(text, sizeof text, "%s%lld.%02lld", hundredths < 0 ? "-" : "", magnitude / 100,
                magnitude % 100);
  return text;
}

std::string Entries(const PdfDictionary& d) {
  std::string out = "<<";
  for (const auto& [key, value] : d) out += "\n/" + key + " " + value;
  return out + "\n>>";
}

void Drop(PdfDictionary& d, std::initializer_list<std::string_view> keys) {
  std::erase_if(
      d, [&](const auto& e) { return std::find(keys.begin(), keys.end(), e.first) != keys.end(); });
}

struct OutlineNode {
  const PdfOutlineItem* Item;
  int Parent = -1;  // index, -1 under the outline's root
  int Number = 0;   // object number
  std::vector<int> Children;
};

// The outline objects (the root first) numbered from `next`, for the items
// on pages the file has.
std::vector<std::pair<int, std::string>> OutlineObjects(const std::vector<PdfOutlineItem>& items,
                                                        const std::vector<PdfRef>& pages,
                                                        int& next) {
  std::vector<OutlineNode> nodes;
  std::vector<int> open;  // the chain of nodes a new item may go under
  for (const PdfOutlineItem& item : items) {
    if (item.Page < 0 || std::size_t(item.Page) >= pages.size()) continue;
    while (!open.empty() && nodes[std::size_t(open.back())].Item->Level >= item.Level)
      open.pop_back();
    OutlineNode node{&item, open.empty() ? -1 : open.back(), 0, {}};
    nodes.push_back(std::move(node));
    open.push_back(int(nodes.size()) - 1);
  }
  std::vector<int> top;
  for (std::size_t i = 0; i < nodes.size(); ++i)
    (nodes[i].Parent < 0 ? top : nodes[std::size_t(nodes[i].Parent)].Children).push_back(int(i));
  if (nodes.empty()) return {};

  const int root = next++;
  for (auto& node : nodes) node.Number = next++;
  auto refOf = [&](int index) { return Ref({nodes[std::size_t(index)].Number, 0}); };
  std::vector<std::pair<int, std::string>> objects;
  objects.emplace_back(root, "<<\n/Type /Outlines\n/First " + refOf(top.front()) + "\n/Last " +
                                 refOf(top.back()) + "\n/Count " + std::to_string(top.size()) +
                                 "\n>>");
  auto siblingsOf = [&](const OutlineNode& n) -> const std::vector<int>& {
    return n.Parent < 0 ? top : nodes[std::size_t(n.Parent)].Children;
  };
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const OutlineNode& n = nodes[i];
    const std::vector<int>& siblings = siblingsOf(n);
    const auto at = std::find(siblings.begin(), siblings.end(), int(i)) - siblings.begin();
    std::string d = "<<\n/Title " + PdfTextString(n.Item->Title) + "\n/Parent " +
                    (n.Parent < 0 ? Ref({root, 0}) : refOf(n.Parent));
    if (at > 0) d += "\n/Prev " + refOf(siblings[std::size_t(at - 1)]);
    if (std::size_t(at) + 1 < siblings.size())
      d += "\n/Next " + refOf(siblings[std::size_t(at + 1)]);
    if (!n.Children.empty()) {
      // Closed: a long report shows its outermost groups first.
      d += "\n/First " + refOf(n.Children.front()) + "\n/Last " + refOf(n.Children.back()) +
           "\n/Count -" + std::to_string(n.Children.size());
    }
    d += "\n/Dest [" + Ref(pages[std::size_t(n.Item->Page)]) + " /XYZ 0 " + Points(n.Item->Top) +
         " null]\n>>";
    objects.emplace_back(n.Number, std::move(d));
  }
  return objects;
}

std::string PageLabelTree(const std::vector<PdfPageLabelRange>& ranges, std::size_t pageCount) {
  std::string nums;
  int previous = -1;
  for (const PdfPageLabelRange& r : ranges) {
    if (r.FirstPage <= previous || std::size_t(r.FirstPage) >= pageCount || r.Start < 1 ||
        (previous < 0 && r.FirstPage != 0))
      throw RangeError("Page label range at page " + std::to_string(r.FirstPage) + " of " +
                       std::to_string(pageCount) + " is out of order or starts below 1");
    previous = r.FirstPage;
    nums += (nums.empty() ? "" : " ") + std::to_string(r.FirstPage) + " << /S /D /St " +
            std::to_string(r.Start) + " >>";
  }
  return "<< /Nums [" + nums + "] >>";
}

}  // namespace

std::string PdfTextString(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "<FEFF";
  auto unit = [&](unsigned u) {
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(u >> shift) & 0xF];
  };
  for (std::size_t i = 0; i < text.size();) {
    const char32_t c = NextCodePoint(text, i);
    if (c >= 0x10000) {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      unit(unsigned(c));
    }
  }
  return out + ">";
}

std::vector<PdfPageLabelRange> DecimalPageLabels(const std::vector<int>& numbers) {
  std::vector<PdfPageLabelRange> ranges;
  for (std::size_t i = 0; i < numbers.size(); ++i)
    if (i == 0 || numbers[i] != numbers[i - 1] + 1) ranges.push_back({int(i), numbers[i]});
  return ranges;
}

std::string PdfDocumentUpdate(std::string_view pdf, const PdfDocumentExtras& extras) {
  const PdfObjects file(pdf);
  const std::vector<PdfRef> pages = file.Pages();
  int next = file.Size();
  std::vector<std::pair<PdfRef, std::string>> objects;  // written in this order

  const PdfRef root = PdfParseRef(*PdfLookup(file.Trailer(), "Root"));
  PdfDictionary catalog = file.Dictionary(root);
  Drop(catalog, {"Outlines", "PageLabels", "PageMode"});
  auto outline = OutlineObjects(extras.Outline, pages, next);
  if (!outline.empty()) {
    catalog.emplace_back("Outlines", Ref({outline.front().first, 0}));
    catalog.emplace_back("PageMode", "/UseOutlines");
  }
  if (!extras.PageLabels.empty())
    catalog.emplace_back("PageLabels", PageLabelTree(extras.PageLabels, pages.size()));
  objects.emplace_back(root, Entries(catalog));
  for (auto& [number, text] : outline) objects.emplace_back(PdfRef{number, 0}, std::move(text));

  // The information dictionary keeps what the writer put there (producer,
  // dates) and takes the texts given.
  const auto oldInfo = PdfLookup(file.Trailer(), "Info");
  const PdfRef info = oldInfo ? PdfParseRef(*oldInfo) : PdfRef{next++, 0};
  PdfDictionary infoEntries = oldInfo ? file.Dictionary(info) : PdfDictionary{};
  for (const auto& [key, value] :
       {std::pair<const char*, const std::string&>{"Title", extras.Title},
        {"Author", extras.Author},
        {"Subject", extras.Subject},
        {"Creator", extras.Creator}}) {
    if (value.empty()) continue;
    Drop(infoEntries, {key});
    infoEntries.emplace_back(key, PdfTextString(value));
  }
  if (!infoEntries.empty()) objects.emplace_back(info, Entries(infoEntries));

  std::string out;
  if (!pdf.empty() && pdf.back() != '\n' && pdf.back() != '\r') out += '\n';
  std::map<int, std::pair<std::uint64_t, int>> table;  // number -> offset, generation
  for (const auto& [ref, body] : objects) {
    table[ref.Number] = {pdf.size() + out.size(), ref.Generation};
    out += std::to_string(ref.Number) + " " + std::to_string(ref.Generation) + " obj\n" + body +
           "\nendobj\n";
  }
  const std::uint64_t xref = pdf.size() + out.size();
  out += "xref\n";
  for (auto it = table.begin(); it != table.end();) {
    auto end = it;
    int count = 0;
    for (int n = it->first; end != table.end() && end->first == n; ++end, ++n) ++count;
    out += std::to_string(it->first) + " " + std::to_string(count) + "\n";
    for (; it != end; ++it) {
      char entry[24];
      std::snprintf(entry, sizeof entry, "%010llu %05d n\r\n",
                    static_cast<unsigned long long>(it->second.first), it->second.second);
      out += entry;
    }
  }
  PdfDictionary trailer = {{"Size", std::to_string(std::max(next, file.Size()))},
                           {"Root", Ref(root)}};
  if (!infoEntries.empty()) trailer.emplace_back("Info", Ref(info));
  trailer.emplace_back("Prev", std::to_string(file.XrefOffset()));
  if (const auto id = PdfLookup(file.Trailer(), "ID")) trailer.emplace_back("ID", *id);
  out += "trailer\n" + Entries(trailer) + "\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return out;
}

}  // namespace quillet
