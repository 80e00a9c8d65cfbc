// quillet-cli info: the pages, paper and objects of a prepared-report file
// or a template, one line each (or JSON), stable for scripts.
#include <cstdio>
#include <iostream>

#include "cli/cli_values.h"
#include "cli/commands.h"
#include "platform/recording_canvas.h"
#include "report/component/report.h"
#include "report/template/page.h"
#include "report/views/picture_view.h"
#include "report/views/shape_view.h"
#include "session/command_options.h"
#include "session/input_file.h"
#include "session/template_loading.h"

namespace quillet::cli {
namespace {

struct PageFacts {
  int paperSize, widthTenths, heightTenths, orientation;
  std::vector<const TfrView*> objects;
};

std::string ColorText(Color c) {
  if (c == clNone) return "none";
  if (IsSystemColor(c)) return "system:" + std::to_string(c & 0xFFFFFF);
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", RedOf(c), GreenOf(c), BlueOf(c));
  return buf;
}

std::string TextOf(const TfrView& v) {
  std::string text;
  for (std::size_t i = 0; i < v.Memo.size(); ++i) text += (i ? "\n" : "") + v.Memo[i];
  return text;
}

void PrintLines(const std::string& kind, const std::vector<PageFacts>& pages) {
  std::cout << "file " << kind << " pages=" << pages.size() << "\n";
  for (std::size_t p = 0; p < pages.size(); ++p) {
    const PageFacts& f = pages[p];
    std::cout << "page " << p + 1 << " paper=" << f.paperSize << " width=" << f.widthTenths
              << " height=" << f.heightTenths
              << " orientation=" << (f.orientation ? "landscape" : "portrait")
              << " objects=" << f.objects.size() << "\n";
    for (const TfrView* v : f.objects) {
      std::cout << "object page=" << p + 1 << " kind=" << v->ClassName()
                << " name=" << JsonString(v->Name) << " left=" << v->Left << " top=" << v->Top
                << " width=" << v->Width << " height=" << v->Height
                << " frame=" << ColorText(v->FrameColor) << " fill=" << ColorText(v->FillColor)
                << " visible=" << (v->Visible ? 1 : 0);
      if (auto* shape = dynamic_cast<const TfrShapeView*>(v))
        std::cout << " shape=" << int(shape->ShapeKind);
      if (auto* picture = dynamic_cast<const TfrPictureView*>(v);
          picture && !picture->Picture.Refusal().empty())
        std::cout << " refused=" << JsonString(picture->Picture.Refusal());
      std::cout << " tag=" << JsonString(v->Tag) << " text=" << JsonString(TextOf(*v)) << "\n";
    }
  }
}

void PrintJson(const std::string& kind, const std::vector<PageFacts>& pages) {
  std::cout << "{\"file\":\"" << kind << "\",\"pages\":[";
  for (std::size_t p = 0; p < pages.size(); ++p) {
    const PageFacts& f = pages[p];
    std::cout << (p ? "," : "") << "{\"number\":" << p + 1 << ",\"paper\":" << f.paperSize
              << ",\"width\":" << f.widthTenths << ",\"height\":" << f.heightTenths
              << ",\"orientation\":\"" << (f.orientation ? "landscape" : "portrait")
              << "\",\"objects\":[";
    for (std::size_t k = 0; k < f.objects.size(); ++k) {
      const TfrView* v = f.objects[k];
      std::cout << (k ? "," : "") << "{\"kind\":\"" << v->ClassName()
                << "\",\"name\":" << JsonString(v->Name) << ",\"left\":" << v->Left
                << ",\"top\":" << v->Top << ",\"width\":" << v->Width << ",\"height\":" << v->Height
                << ",\"frame\":\"" << ColorText(v->FrameColor) << "\",\"fill\":\""
                << ColorText(v->FillColor) << "\",\"visible\":" << (v->Visible ? "true" : "false");
      if (auto* shape = dynamic_cast<const TfrShapeView*>(v))
        std::cout << ",\"shape\":" << int(shape->ShapeKind);
      if (auto* picture = dynamic_cast<const TfrPictureView*>(v);
          picture && !picture->Picture.Refusal().empty())
        std::cout << ",\"refused\":" << JsonString(picture->Picture.Refusal());
      std::cout << ",\"tag\":" << JsonString(v->Tag) << ",\"text\":" << JsonString(TextOf(*v))
                << "}";
    }
    std::cout << "]}";
  }
  std::cout << "]}\n";
}

}  // namespace

int RunInfo(const Args& args) {
  const Options o(args, {"json"}, {});
  if (o.Positional().size() != 1) throw UsageError("give exactly one .frp or .frf file");
  const std::string path = CheckedInputFile(o.Positional()[0]);
  TfrReport report;
  std::vector<PageFacts> facts;
  std::string kind;
  if (IsTemplateFile(path)) {
    kind = "template";
    LoadTemplateAnyForm(report, path);
    for (const auto& page : report.Template.Pages) {
      PageFacts f{page->PaperSizeCode,
                  page->PaperWidthTenths,
                  page->PaperHeightTenths,
                  page->Orientation,
                  {}};
      for (const auto& v : page->Objects) f.objects.push_back(v.get());
      facts.push_back(std::move(f));
    }
  } else {
    kind = "prepared";
    report.LoadPrepared(path);
    TfrEMFPages& pages = report.PreparedPages;
    for (int i = 0; i < pages.Count(); ++i) {
      pages.RebuildPage(i);
      PageFacts f{pages[i].PaperSizeCode,
                  pages[i].PaperWidthTenths,
                  pages[i].PaperHeightTenths,
                  pages[i].Orientation,
                  {}};
      for (const auto& v : pages[i].RebuiltPage->Objects) f.objects.push_back(v.get());
      facts.push_back(std::move(f));
    }
  }
  if (o.Has("json"))
    PrintJson(kind, facts);
  else
    PrintLines(kind, facts);
  return 0;
}

}  // namespace quillet::cli
