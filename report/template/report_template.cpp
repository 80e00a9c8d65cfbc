#include "report/template/report_template.h"

#include <filesystem>
#include <limits>
#include <unordered_map>
#include <utility>

#include "platform/codepage.h"
#include "platform/engine_host.h"
#include "platform/errors.h"
#include "platform/file_errors.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/base/preparation_report.h"
#include "report/base/record_stream.h"
#include "report/base/text_format.h"
#include "report/printer/page_paper.h"
#include "report/printer/printer.h"
#include "report/views/object_records.h"
#include "report/views/picture_view.h"
#include "report/views/view_registry.h"

namespace quillet {
namespace {

// The page asks the engine printer for its stored paper and takes what the
// printer reports back (a custom size of the same measures when the printer
// refuses it), unless `keepStored`: then only its page information comes
// from the printer. Without a started printer the page keeps what was read.
void TakePrinterPaper(TfrPage& page, bool keepStored = false) {
  EngineGlobals& engine = page.Globals();
  if (!engine.Printer.EnginePrinter) return;
  PagePaper paper;
  paper.PaperSizeCode = static_cast<std::int16_t>(page.PaperSizeCode);
  paper.PaperWidthTenths = page.PaperWidthTenths;
  paper.PaperHeightTenths = page.PaperHeightTenths;
  paper.Orientation = page.Orientation;
  paper.PaperSource = page.PaperSource;
  ApplyPagePaper(*engine.Printer.EnginePrinter, paper);
  page.PageInfo = paper.PageInfo;
  if (keepStored) return;
  page.PaperSizeCode = paper.PaperSizeCode;
  page.PaperWidthTenths = paper.PaperWidthTenths;
  page.PaperHeightTenths = paper.PaperHeightTenths;
  page.Orientation = paper.Orientation;
  page.PaperSource = paper.PaperSource;
}

constexpr std::uint8_t kMarkerPage = 255;
constexpr std::uint8_t kMarkerDictionary = 254;
constexpr std::uint8_t kMarkerExtension = 253;
constexpr std::uint8_t kLastObjectKind = 10;
constexpr std::uint8_t kBuiltInKinds = 5;
const std::string kVirtualPrinterCode(1, '\x01');

const char* const kUnsupportedFormat = "Unsupported FRF format";

// An object record end position that cannot be trusted: skipping by it
// could loop or leave the stream, so the whole load ends.
class BadEndPosition : public StreamReadError {
 public:
  using StreamReadError::StreamReadError;
};

const char* BuiltInClassName(std::uint8_t kind) {
  static const char* const names[kBuiltInKinds] = {"TfrMemoView", "TfrPictureView", "TfrBandView",
                                                   "TfrSubReportView", "TfrLineView"};
  return names[kind];
}

// The template file being loaded, named in the messages of its load; empty
// while a stream that is no file (an embedded template) loads.
std::string loadingFile;

class LoadingFileScope {
 public:
  explicit LoadingFileScope(const std::string& path) : outer_(std::exchange(loadingFile, path)) {}
  ~LoadingFileScope() { loadingFile = std::move(outer_); }

 private:
  std::string outer_;
};

void ShowError(EngineGlobals& engine, const std::string& text) {
  engine.Host().ShowMessage(loadingFile.empty() ? text : CannotOpenText(loadingFile, text), "Error",
                            MessageIcon::Error, MessageButtons::Ok);
}

// Answers name look-ups from the template while a template without an
// owning report loads (views of older streams name themselves uniquely).
// Names are indexed as objects arrive, so naming stays linear in the
// number of objects.
class TemplateNames : public PreparationReport {
 public:
  explicit TemplateNames(const TfrTemplate& t) : t_(t) {}
  TfrView* FindView(std::string_view name) const override {
    CatchUp();
    auto it = names_.find(UpperCase(name));
    return it == names_.end() ? nullptr : it->second;
  }
  std::string EvaluateBracket(const std::string&) override {
    throw EngineError("No report to evaluate expressions while a template loads");
  }

 private:
  void CatchUp() const {
    indexed_.resize(t_.Pages.size(), 0);
    for (std::size_t p = 0; p < t_.Pages.size(); ++p) {
      const auto& objects = t_.Pages[p]->Objects;
      for (; indexed_[p] < objects.size(); ++indexed_[p]) {
        TfrView* view = objects[indexed_[p]].get();
        names_.try_emplace(UpperCase(view->Name), view);  // the first of a name wins
      }
    }
  }

  const TfrTemplate& t_;
  mutable std::vector<std::size_t> indexed_;
  mutable std::unordered_map<std::string, TfrView*> names_;
};

// Puts the preparation state's report and page back when a load ends.
class ActiveScope {
 public:
  ActiveScope(PreparationState& run, PreparationReport* report, bool restoreReport)
      : run_(run), report_(run.ActiveReport), page_(run.ActivePage), restoreReport_(restoreReport) {
    run.ActiveReport = report;
  }
  ~ActiveScope() {
    if (restoreReport_) run_.ActiveReport = report_;
    run_.ActivePage = page_;
  }

 private:
  PreparationState& run_;
  PreparationReport* report_;
  ViewPage* page_;
  bool restoreReport_;
};

std::string WithTemplateExtension(const std::string& path) {
  if (std::filesystem::path(path).has_extension()) return path;
  return path + std::string(kTemplateFileExtension);
}

}  // namespace

// A template made without an engine (a conversion or a check on the command
// line, a test) belongs to the process's.
TfrTemplate::TfrTemplate() : TfrTemplate(Engine()) {}
TfrTemplate::TfrTemplate(EngineGlobals& engine) : Dictionary(engine), engine_(engine) {}
TfrTemplate::~TfrTemplate() = default;

void TfrTemplate::ClearTemplate() {
  Pages.clear();
  Dictionary.Clear();
  TwoPass = false;
  Info = {};
}

std::string TfrTemplate::NewPageName() const {
  for (int n = 1; n <= 10000; ++n) {
    const std::string candidate = "Page" + std::to_string(n);
    bool used = false;
    for (const auto& page : Pages) used = used || EqualsIgnoreCase(page->Name, candidate);
    if (!used) return candidate;
  }
  return {};
}

void TakePrinterPageInfo(TfrPage& page) {
  TakePrinterPaper(page, true);
}

TfrPage& TfrTemplate::AddPage() {
  auto page = std::make_unique<TfrPage>(engine_);
  page->Name = NewPageName();
  TakePrinterPaper(*page);  // a new page has the printer's paper and page information
  Pages.push_back(std::move(page));
  return *Pages.back();
}

TfrView* TfrTemplate::FindView(std::string_view name) const {
  for (const auto& page : Pages)
    for (const auto& view : page->Objects)
      if (EqualsIgnoreCase(view->Name, name)) return view.get();
  return nullptr;
}

std::size_t TfrTemplate::ObjectCount() const {
  std::size_t n = 0;
  for (const auto& page : Pages) n += page->Objects.size();
  return n;
}

void TfrTemplate::LoadTemplate(Stream& s) {
  // The engine printer starts synchronously (StartEnginePrinter), so a load
  // has no printer start-up to wait for.
  PreparationState& prep = Run();
  prep.RenderActive = false;
  TemplateNames names(*this);
  ActiveScope scope(prep, Owner ? Owner : &names, Owner == nullptr);
  Dictionary.Clear();
  if (s.AtEnd()) return;

  const std::uint64_t start = s.Position();
  int version = s.ReadU8();
  if (version < kOldestStreamVersion) {  // such streams carry no version byte
    version = kOldestStreamVersion;
    s.Seek(start);
  }
  prep.CalcErrorFlag = false;
  prep.CalcErrorText.clear();
  LoadErrorFlag = false;
  LoadErrorText.clear();
  if (version > kNewestStreamVersion) {
    ShowError(engine_, std::string(kUnsupportedFormat) + ": stream version " +
                           std::to_string(version) + "; this program reads versions " +
                           std::to_string(kOldestStreamVersion) + " to " +
                           std::to_string(kNewestStreamVersion));
    return;
  }

  try {
    ClearTemplate();
    RecordReader reader(s, version);
    ReadTemplateBody(reader);
    if (prep.CalcErrorFlag) throw ClassNotFoundError(prep.CalcErrorText);
    // Only a template that loaded whole is made ready.
    for (const auto& page : Pages)
      for (const auto& view : page->Objects) view->AfterReportLoaded();
    ResolvePictureFiles();
  } catch (const ClassNotFoundError&) {
    LoadErrorFlag = true;
    LoadErrorText = prep.CalcErrorText;
    ShowError(engine_, "Report contains the following non-plugged components:\r" + LoadErrorText +
                           "You must include these components into your project.");
  } catch (const std::exception&) {
    ShowError(engine_, kUnsupportedFormat);
    Pages.clear();
    AddPage();
  }
}

void TfrTemplate::RestoreSnapshot(Stream& s) {
  keepStoredPaper_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{keepStoredPaper_};
  LoadTemplate(s);
}

void TfrTemplate::ReadTemplateBody(RecordReader& s) {
  const int version = s.Version();
  KeepCurrentPrinter = s.ReadI16() != 0;
  TwoPass = s.ReadI16() != 0;
  PrinterName = ReadCountedString(s);
  if (PrinterName == kVirtualPrinterCode) PrinterName = kVirtualPrinterName;
  if (version >= kDocumentInfoVersion) {
    Info.Title = ReadCountedString(s);
    Info.Author = ReadCountedString(s);
    Info.Subject = ReadCountedString(s);
  }
  // The owning report selects the template's printer by this name after
  // the load (unless KeepCurrentPrinter, and only when installed).

  int pagesNamed = 0;
  while (!s.AtEnd()) {
    const std::uint8_t marker = s.ReadU8();
    if (marker == kMarkerPage) {
      Pages.push_back(std::make_unique<TfrPage>(engine_));
      TfrPage& page = *Pages.back();
      page.ReadRecord(s);
      // Older streams store no page names. Every page here came from this
      // loop, so the smallest unused number is always the next one.
      if (version < kNamedRecordsVersion)
        page.Name = pagesNamed < 10000 ? "Page" + std::to_string(++pagesNamed) : "";
      TakePrinterPaper(page, keepStoredPaper_ || KeepStoredPaper);
    } else if (marker == kMarkerDictionary) {
      Dictionary.ReadFromStream(s);
    } else if (marker == kMarkerExtension) {
      break;  // the extension that owns this block is not part of this system
    } else if (marker > kLastObjectKind) {
      throw StreamReadError("Unknown template record marker " + std::to_string(marker));
    } else {
      ReadObjectRecord(s, marker);
    }
  }
}

void TfrTemplate::ReadObjectRecord(RecordReader& s, std::uint8_t marker) {
  const int version = s.Version();
  std::uint64_t end = 0;
  bool endRead = false;
  auto readEnd = [&] {
    const std::uint64_t after = s.Position() + 4;
    const std::int32_t raw = s.ReadI32();
    if (raw < 0 || std::uint64_t(raw) < after || std::uint64_t(raw) > s.Size())
      throw BadEndPosition("Object record end position " + std::to_string(raw) + " out of range");
    end = std::uint64_t(raw);
    endRead = true;
  };

  try {
    std::uint8_t kind = marker;
    std::string className;
    bool framedMemo = false;
    if (kind == gtAddIn) {
      className = ReadCountedString(s);
      const std::string upper = UpperCase(className);
      if (upper == "TFRBDELOOKUPCONTROL" || upper == "TFRIBXLOOKUPCONTROL") {
        className = "TfrDBLookupControl";
      } else if (upper == "TFRFRAMEDMEMOVIEW") {
        kind = gtMemo;
        className.clear();
        framedMemo = true;
      }
    }
    const std::uint8_t pageIndex = s.ReadU8();
    if (pageIndex >= Pages.size())
      throw StreamReadError("Object record for missing page " + std::to_string(pageIndex));
    TfrPage& page = *Pages[pageIndex];
    Run().ActivePage = &page;

    std::unique_ptr<TfrView> view = CreateViewByKind(engine_, kind, className);
    if (!view && kind < kBuiltInKinds) {
      // A built-in kind whose class is not plugged in: listed like a
      // missing registered class.
      Run().CalcErrorText += std::string(BuiltInClassName(kind)) + "\r";
      Run().CalcErrorFlag = true;
      throw ClassNotFoundError(Run().CalcErrorText);
    }
    if (version >= kNamedRecordsVersion) readEnd();
    if (view) {
      view->OwnerPage = &page;
      ReadViewRecord(s, *view);
      if (framedMemo) s.ReadBytes(8);  // the old framed memo's own fields
      page.AddObject(std::move(view));
    }
    if (endRead) s.Seek(end);
  } catch (const BadEndPosition&) {
    throw;
  } catch (const std::exception&) {
    // The object is dropped; older streams go on where reading stopped.
    if (version < kNamedRecordsVersion) return;
    if (!endRead) readEnd();
    s.Seek(end);
  }
}

void TfrTemplate::SaveTemplate(Stream& s) {
  // Written in the code pages of the objects' fonts where every text fits
  // them, as every earlier version of this program wrote; otherwise again
  // over the same bytes with every text in UTF-8 (version 25), or as
  // version 26 when a picture needs it. A UTF-8 text is never shorter than
  // its code-page form, and a version 26 picture record never shorter than
  // its older form, so the second writing covers the first.
  const std::uint64_t start = s.Position();
  RecordWriter writer(s, kTemplateStreamVersion);
  WriteTemplateBody(writer);
  if (!writer.Unfit()) return;
  s.Seek(start);
  RecordWriter again(s, writer.NeededVersion());
  WriteTemplateBody(again);
}

void TfrTemplate::WriteTemplateBody(RecordWriter& s) {
  // An object names its page in one byte: objects past page 256 would load
  // onto another page, so such a template is refused before writing.
  for (std::size_t i = 256; i < Pages.size(); ++i)
    if (!Pages[i]->Objects.empty())
      throw StreamWriteError("Objects on page " + std::to_string(i + 1) +
                             " cannot be stored: a template keeps objects on its first 256 pages");
  if (Owner) Run().ActiveReport = Owner;
  s.WriteU8(static_cast<std::uint8_t>(s.Version()));
  s.WriteI16(KeepCurrentPrinter ? -1 : 0);
  s.WriteI16(TwoPass ? -1 : 0);
  // The printer selected now is the one the template prints on next time;
  // without a started printer, or in a conversion between template forms,
  // the template's own name stands.
  std::string printerName = PrinterName;
  if (const auto& printer = engine_.Printer.EnginePrinter;
      !KeepStoredPaper && printer && printer->SelectedPrinterIndex >= 0 &&
      std::size_t(printer->SelectedPrinterIndex) < printer->PrinterNames.size())
    printerName = printer->PrinterNames[std::size_t(printer->SelectedPrinterIndex)];
  WriteCountedString(s, printerName == kVirtualPrinterName ? kVirtualPrinterCode : printerName);
  // Only a template that has document information needs the newer stream;
  // every other one is written exactly as before.
  if (!Info.Empty()) s.Require(kDocumentInfoVersion);
  if (s.AtLeast(kDocumentInfoVersion)) {
    WriteCountedString(s, Info.Title);
    WriteCountedString(s, Info.Author);
    WriteCountedString(s, Info.Subject);
  }
  for (const auto& page : Pages) {
    s.WriteU8(kMarkerPage);
    page->WriteRecord(s);
  }
  for (std::size_t i = 0; i < Pages.size(); ++i) {
    for (const auto& view : Pages[i]->Objects) {
      s.WriteU8(view->ObjectType);
      if (view->ObjectType == gtAddIn) WriteCountedString(s, view->ClassName());
      s.WriteU8(static_cast<std::uint8_t>(i & 0xFF));
      const std::uint64_t placeholder = s.Position();
      s.WriteI32(0);
      s.UseCodePage(CodePageOfCharset(view->TextCharset()));
      view->WriteRecord(s);
      s.UseCodePage(kDefaultCodePage);
      const std::uint64_t end = s.Position();
      if (end > std::uint64_t(std::numeric_limits<std::int32_t>::max()))
        throw StreamWriteError("Template too large to store");
      s.Seek(placeholder);
      s.WriteI32(static_cast<std::int32_t>(end));
      s.Seek(end);
    }
  }
  s.WriteU8(kMarkerDictionary);
  Dictionary.WriteToStream(s);
}

void TfrTemplate::ReadReportForm(Stream& s) {
  s.ReadI32();  // 24, whatever it holds
  if (!StoreInDFM) return;
  const std::int32_t n = s.ReadI32();
  if (n < 0 || std::uint64_t(n) > s.Remaining())
    throw StreamReadError("Template length " + std::to_string(n) + " beyond the stored bytes");
  const std::string bytes = s.ReadBytes(std::size_t(n));
  EmbeddedTemplate.assign(bytes.begin(), bytes.end());
  HasEmbeddedTemplate = true;
}

void TfrTemplate::WriteReportForm(Stream& s) {
  s.WriteI32(kTemplateStreamVersion);
  if (!StoreInDFM) return;
  MemoryStream body;
  SaveTemplate(body);
  if (body.Size() > std::uint64_t(std::numeric_limits<std::int32_t>::max()))
    throw StreamWriteError("Template too large to store");
  s.WriteI32(static_cast<std::int32_t>(body.Size()));
  s.Write(body.Bytes().data(), body.Bytes().size());
}

void TfrTemplate::LoadEmbeddedTemplate() {
  if (!HasEmbeddedTemplate) return;
  MemoryStream stream(std::move(EmbeddedTemplate));
  EmbeddedTemplate.clear();
  HasEmbeddedTemplate = false;
  LoadTemplate(stream);
}

void TfrTemplate::SaveTemplateFile(const std::string& path) {
  WriteFileAtomically(WithTemplateExtension(path), [this](Stream& s) { SaveTemplate(s); });
}

std::string FolderOfTemplateFile(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(std::filesystem::path(path), ec);
  return (ec ? std::filesystem::path(path) : full).parent_path().string();
}

void TfrTemplate::ResolvePictureFiles() {
  for (const auto& page : Pages)
    for (const auto& view : page->Objects)
      if (auto* picture = dynamic_cast<TfrPictureView*>(view.get()))
        picture->ResolvePictureFile(Directory);
}

void TfrTemplate::LoadTemplateFile(const std::string& path) {
  FileStream file(path, FileStream::Mode::Read);
  const LoadingFileScope naming(path);
  Directory = FolderOfTemplateFile(path);
  try {
    LoadTemplate(file);
  } catch (...) {
    RethrowNamingFile(path);
  }
}

}  // namespace quillet
