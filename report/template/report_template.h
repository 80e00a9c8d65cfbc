// Folder report/template: the template — pages, data dictionary, printer
// settings — and its stream. It includes platform/ and the report folders
// up to views/.
//
// TfrTemplate: a report's template — its pages with their objects, its data
// dictionary and its printer settings — and the template stream that holds
// them (the "ReportForm" value of a window resource, or a template file).
//
// The report component owns one. Loading reports its problems to the user
// itself, through its engine's host (ShowMessage) with the caption "Error"; it raises
// nothing for bad template bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "report/template/data_dictionary.h"
#include "report/template/page.h"

namespace quillet {

class PreparationReport;
class RecordReader;
class RecordWriter;
class Stream;

// The printer name stored as the one character with code 1.
inline constexpr std::string_view kVirtualPrinterName = "Virtual printer";
inline constexpr std::string_view kTemplateFileExtension = ".frf";
// The version written when every text fits its object's code page; a
// template with other texts is written as version 25 (record_stream.h).
inline constexpr int kTemplateStreamVersion = 24;

// What a document made of the report says about itself (a PDF's document
// information). Empty texts are not given.
struct DocumentInfo {
  std::string Title;
  std::string Author;
  std::string Subject;
  bool Empty() const { return Title.empty() && Author.empty() && Subject.empty(); }
  friend bool operator==(const DocumentInfo&, const DocumentInfo&) = default;
};

class TfrTemplate {
 public:
  TfrTemplate();  // of the process's engine
  explicit TfrTemplate(EngineGlobals& engine);
  ~TfrTemplate();
  TfrTemplate(const TfrTemplate&) = delete;
  TfrTemplate& operator=(const TfrTemplate&) = delete;

  // Reads a template stream from the stream's position to its end into the
  // pages and the dictionary, and leaves its engine's RenderActive false. Every
  // failure is shown to the user: a version above 27 leaves the pages alone
  // and names the version, unknown classes are
  // listed while the rest stays loaded (LoadErrorFlag/LoadErrorText), any
  // other error leaves one empty page.
  void LoadTemplate(Stream& stream);
  // Loads a snapshot this template saved itself (preparing restores the
  // template so): the pages keep the paper sizes stored in it instead of
  // asking the printer again, whose paper forming has changed since, so the
  // template comes back byte for byte.
  void RestoreSnapshot(Stream& stream);
  // Writes the whole template: version 24 when every text fits the code
  // page of its object's font, else version 25; version 26 when a picture
  // is PNG or SVG, comes from a file, or its data field holds one of those;
  // version 27 when Info holds any text (docs/stream-versions.md). Raises
  // StreamWriteError.
  void SaveTemplate(Stream& stream);

  // The "ReportForm" value: int32 24, then (with StoreInDFM) the length and
  // the template stream. Reading keeps the bytes in EmbeddedTemplate until
  // LoadEmbeddedTemplate; a length beyond the stream raises StreamReadError.
  void ReadReportForm(Stream& stream);
  void WriteReportForm(Stream& stream);
  // Loads the kept "ReportForm" bytes (once the owner finished loading) and
  // frees them; nothing when none are kept.
  void LoadEmbeddedTemplate();

  // Template files hold the template stream. Saving goes through a temporary
  // file, so a failed save keeps the old file; ".frf" is added to a path
  // without an extension. Raise FileOpenError / StreamWriteError. Loading
  // sets Directory to the file's folder.
  void SaveTemplateFile(const std::string& path);
  void LoadTemplateFile(const std::string& path);

  // Gives every picture the template's folder and reads the picture files
  // they name (TfrPictureView::ResolvePictureFile): a file that cannot be
  // read leaves its picture empty with the reason, naming the object and
  // the path. Every load calls it.
  void ResolvePictureFiles();

  // Removes all pages and the dictionary's entries; TwoPass becomes false
  // and Info empty.
  void ClearTemplate();
  // Appends a new page named "Page" + the smallest unused number.
  TfrPage& AddPage();
  std::string NewPageName() const;
  // The object of that name on any page (letter case ignored), or nullptr.
  TfrView* FindView(std::string_view name) const;
  std::size_t ObjectCount() const;

  std::vector<std::unique_ptr<TfrPage>> Pages;
  TfrDataDictionary Dictionary;
  bool KeepCurrentPrinter = false;
  bool TwoPass = false;
  DocumentInfo Info;
  // The template's printer as read; the owning report selects it by name
  // after a load and records every name it selects here. Saving writes it.
  std::string PrinterName;
  bool StoreInDFM = false;
  // Loading normally lets each page take the paper the engine printer
  // reports for it, and saving records the printer selected now; a
  // conversion between template forms keeps the paper and the printer name
  // exactly as stored.
  bool KeepStoredPaper = false;
  std::vector<std::uint8_t> EmbeddedTemplate;
  bool HasEmbeddedTemplate = false;
  // The folder relative picture paths start from: the template file's
  // folder; empty (the working directory) for a template without a file.
  std::string Directory;

  // Set by the last load: the classes it could not make, each followed by
  // a carriage return.
  bool LoadErrorFlag = false;
  std::string LoadErrorText;

  // The report that becomes the ActiveReport of the engine while loading and saving
  // (not owned). Without one, the template itself answers name look-ups
  // during the load and the previous ActiveReport comes back afterwards.
  PreparationReport* Owner = nullptr;

  // The engine the template, its pages and their objects belong to.
  EngineGlobals& Globals() const { return engine_; }
  PreparationState& Run() const { return engine_.Run; }

 private:
  EngineGlobals& engine_;
  bool keepStoredPaper_ = false;  // set while RestoreSnapshot loads
  void ReadTemplateBody(RecordReader& stream);
  void ReadObjectRecord(RecordReader& stream, std::uint8_t marker);
  void WriteTemplateBody(RecordWriter& stream);
};

// The folder of a template file, as an absolute path: what Directory holds
// for a template loaded from `path`.
std::string FolderOfTemplateFile(const std::string& path);

// Gives `page` the engine printer's page information for the paper it
// stores, which stays as it is; without a started printer nothing changes.
// Pages read from JSON have none until then.
void TakePrinterPageInfo(TfrPage& page);

}  // namespace quillet
