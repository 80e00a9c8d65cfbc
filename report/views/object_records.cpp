#include "report/views/object_records.h"

#include <memory>
#include <string>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "report/views/view.h"
#include "report/views/view_registry.h"

namespace quillet {
namespace {

// Rewrites a prepared page's records as a page of `version` (25 or later).
void RecodePage(EngineGlobals& engine, MemoryStream& page, int version) {
  MemoryStream old(page.Bytes());
  RecordReader reader(old, old.ReadU8());
  MemoryStream fresh;
  fresh.WriteU8(static_cast<std::uint8_t>(version));
  RecordWriter writer(fresh, version);
  while (!reader.AtEnd()) {
    const std::uint8_t kind = reader.ReadU8();
    const std::string className = kind == gtAddIn ? ReadCountedString(reader) : std::string();
    std::unique_ptr<TfrView> view = CreateViewByKind(engine, kind, className);
    if (!view)
      throw StreamWriteError("Object of unknown type " + std::to_string(kind) +
                             " in a prepared page being written");
    view->PreparedMode = true;
    ReadViewRecord(reader, *view);
    view->WorkText = view->Memo;  // a page's record holds the text as formed
    WriteObjectRecord(writer, *view);
  }
  page = std::move(fresh);
}

}  // namespace

void ReadViewRecord(RecordReader& reader, TfrView& view) {
  const std::uint64_t start = reader.Position();
  reader.UseCodePage(kDefaultCodePage);
  view.ReadRecord(reader);
  if (reader.AtLeast(kUtf8TextsVersion) || !reader.DecodedCodePageText()) return;
  const int codePage = CodePageOfCharset(view.TextCharset());
  if (codePage == kDefaultCodePage) return;
  reader.Seek(start);
  reader.UseCodePage(codePage);
  view.ReadRecord(reader);
  reader.UseCodePage(kDefaultCodePage);
}

void WriteObjectRecord(RecordWriter& writer, TfrView& view) {
  writer.UseCodePage(kDefaultCodePage);
  writer.WriteU8(view.ObjectType);
  if (view.ObjectType == gtAddIn) WriteCountedString(writer, view.ClassName());
  writer.UseCodePage(CodePageOfCharset(view.TextCharset()));
  view.WriteRecord(writer);
  writer.UseCodePage(kDefaultCodePage);
}

void AppendObjectRecord(MemoryStream& page, TfrView& view) {
  const int version = page.Bytes().empty() ? kNamedRecordsVersion : page.Bytes().front();
  const std::size_t start = page.Bytes().size();
  page.Seek(start);
  RecordWriter writer(page, version);
  WriteObjectRecord(writer, view);
  if (!writer.Unfit() || start == 0) return;  // a stream without version byte stays as it is
  const int needed = writer.NeededVersion();
  page.Truncate(start);
  RecodePage(view.Globals(), page, needed);
  RecordWriter newer(page, needed);
  WriteObjectRecord(newer, view);
}

}  // namespace quillet
