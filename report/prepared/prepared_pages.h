// Folder report/prepared: the prepared pages, their file and the objects
// rebuilt from a page to draw it. It includes platform/ and the report
// folders up to template/.
//
// TfrEMFPages: the prepared pages of a report, and their file.
//
// A prepared page is its paper settings plus a byte stream of object
// records (the version byte, then one record per object written in prepared
// mode). Only that stream is kept per page, packed once the page is no
// longer written to (PageStream); to draw or hit-test a page the stream is
// rebuilt into live objects, which are released again when the page is no
// longer in use.
//
// Past the memory budget of page streams, a page's records wait in a
// temporary file; a page formation has long passed is then put aside
// (parked) as its place in that file and an index into the distinct papers
// of the list - some 40 bytes - and is made whole again when it is asked
// for. A report of any length so forms in flat memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/geometry.h"
#include "platform/stream.h"
#include "report/base/preparation_report.h"
#include "report/prepared/page_outline.h"
#include "report/prepared/page_stream.h"
#include "report/prepared/rebuilt_page.h"
#include "report/printer/page_paper.h"

namespace quillet {

class Canvas;
class SpillFile;
class TfrView;

// The version byte written at the head of page streams and files. A page
// holding a text its object's code page cannot hold is a version 25 page,
// and a file with such a page says 25 (record_stream.h).
constexpr std::uint8_t kPreparedStreamVersion = 24;

// One prepared page.
struct PreparedPage {
  Rect PreviewRect;  // where the preview lays the page out; not stored in files
  std::int16_t PaperSizeCode = 0;
  std::int32_t PaperWidthTenths = 0;
  std::int32_t PaperHeightTenths = 0;
  std::uint8_t Orientation = 0;
  std::int32_t PaperSource = 0;
  std::uint8_t MarginsApply = 0;  // 1: the page's margins apply
  PageMargins Margins;            // report pixels
  PrinterPageInfo PageInfo;
  std::uint8_t InUse = 0;   // wanted on screen or printer; 0 releases the rebuilt page
  PageStream ObjectStream;  // the object records
  std::unique_ptr<quillet::RebuiltPage> RebuiltPage;  // owned; none until needed

  // The paper, margins and page information as a page's paper.
  PagePaper Paper() const;
  // Takes the paper, margins and page information of `paper`.
  void SetPaper(const PagePaper& paper);
};

class TfrEMFPages {
 public:
  // The pages belong to `engine`. `report` is not owned and may be none
  // (no events, no printer selection).
  explicit TfrEMFPages(EngineGlobals& engine, PreparedPagesReport* report = nullptr);
  ~TfrEMFPages();
  TfrEMFPages(const TfrEMFPages&) = delete;
  TfrEMFPages& operator=(const TfrEMFPages&) = delete;

  int Count() const { return static_cast<int>(pages_.size()); }
  // The page at a zero-based index; RangeError outside the list.
  PreparedPage& operator[](int index);
  const PreparedPage& operator[](int index) const;

  void Clear();
  // Exchanges the pages of the two lists; each keeps its report. This is how
  // a preview takes a report's pages and gives them back.
  void Swap(TfrEMFPages& other) noexcept {
    pages_.swap(other.pages_);
    papers_.swap(other.papers_);
    spill_.swap(other.spill_);
    std::swap(parkFrom_, other.parkFrom_);
    std::swap(open_, other.open_);  // the open page goes with its list
    Outline.swap(other.Outline);
  }
  // Pages put aside at the moment (for tests and figures).
  int ParkedCount() const;
  // Inserts a new page with the template page's paper (appended when
  // `index` is at or past the end; RangeError when negative). The page
  // stream starts with version byte 24.
  void InsertPage(int index, const PagePaper& templatePage);
  // Appends a page, then fires OnBeginPage with the preparation state's PageIndex on the
  // active report and, when different, the outer report. Raises EngineError
  // when the list already holds PageLimit pages.
  void AddPage(const PagePaper& templatePage);
  void DeletePage(int index);

  // The stream records of page `index` are appended to (RangeError outside
  // the list). One page at most is open for records: opening this one
  // closes (packs) the page open before it.
  MemoryStream& RecordStream(int index);
  // Closes the page open for records, if any; preparation calls it when
  // the last page is formed.
  void CloseOpenPage();

  // Rebuilds the page's live objects from its stream. Raises
  // ClassNotFoundError for an unregistered kind and StreamReadError for a
  // malformed record; the page is then left without rebuilt objects.
  void RebuildPage(int index);
  // Clears the page's InUse and releases its rebuilt objects.
  void ReleasePage(int index);
  // Draws the page scaled into `rect` (device pixels) on `canvas`. A page
  // not InUse draws nothing and releases its rebuilt objects.
  void DrawPage(int index, Canvas& canvas, const Rect& rect);
  // Finds the topmost object under `point` (report pixels) and passes it to
  // the report's click or mouse-over handler; true when a handler took it.
  bool HitTest(int index, Point point, int& cursor, bool isClick);

  // Writes all pages as a prepared-report file at the stream's position.
  void WritePreparedFile(Stream& file);
  // Replaces the pages by those of a prepared-report file. Malformed input
  // raises StreamReadError; the pages read before the failure remain.
  void ReadPreparedFile(Stream& file);

  // Saves through a temporary file renamed over `path` only when complete.
  void SavePreparedFile(const std::string& path);
  // Loads the file at `path` (FileOpenError when it cannot be opened).
  void LoadPreparedFile(const std::string& path);

  PreparedPagesReport* Report() const { return report_; }
  EngineGlobals& Globals() const { return engine_; }

  // The group headers shown while the pages were formed (page_outline.h);
  // Clear empties it, Swap exchanges it, files do not store it.
  PageOutline Outline;

  // Preparation ends with a calculation error rather than form more pages
  // than this (a page per record of a huge data set, say). Generous for
  // real reports; fuzz targets lower it to stay fast.
  static constexpr int kDefaultPageLimit = 1'000'000;
  static inline int PageLimit = kDefaultPageLimit;

 private:
  void ReleaseRebuilt(PreparedPage& page);
  void ReadCurrentFormat(Stream& file, int version, std::uint8_t compressed);
  void ReadPictureFormat(Stream& file);
  void SetPrinterToPage(PreparedPage& page);

  // A page as the list holds it: whole, or put aside.
  struct Slot {
    std::unique_ptr<PreparedPage> page;  // none while parked
    std::uint32_t paper = 0;             // papers_ index while parked
    PageStream::Place records;           // in spill_ while parked
  };
  // The last pages formed stay whole: formation may still go back to them.
  static constexpr int kWholePages = 16;

  // Adds a page at the end, then parks the pages formation has passed.
  void Append(std::unique_ptr<PreparedPage> page);
  // Parks the pages below the last kWholePages whose records wait in the
  // temporary file and that nothing uses (in use, rebuilt or open).
  void ParkPassedPages();
  // The page at `index` as a whole page: the slot's own, or one made from
  // its parked form into `scratch`.
  const PreparedPage& Peek(int index, std::unique_ptr<PreparedPage>& scratch) const;
  std::unique_ptr<PreparedPage> MadeWhole(const Slot& slot) const;

  EngineGlobals& engine_;
  PreparedPagesReport* report_;
  std::vector<Slot> pages_;
  std::vector<PagePaper> papers_;     // the distinct papers of parked pages
  std::shared_ptr<SpillFile> spill_;  // the file the parked pages' records are in
  int parkFrom_ = 0;                  // pages below this have been looked at for parking
  PreparedPage* open_ = nullptr;      // the page open for records, one of pages_
};

// Holds a prepared page in use for a scope: InUse is set when the guard is
// made; when the scope ends the page is released again (ReleasePage), also
// when an error passes through.
class [[nodiscard]] PageInUse {
 public:
  PageInUse(TfrEMFPages& pages, int index) : pages_(pages), index_(index) {
    pages_[index_].InUse = 1;
  }
  ~PageInUse() { pages_.ReleasePage(index_); }
  PageInUse(const PageInUse&) = delete;
  PageInUse& operator=(const PageInUse&) = delete;

 private:
  TfrEMFPages& pages_;
  int index_;
};

}  // namespace quillet
