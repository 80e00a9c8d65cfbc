// The prepared-report file: a version byte, a compression byte, the
// printer's name, then one entry per page (paper settings and the page's
// object stream), each entry starting with the file offset just past it.
#include <limits>

#include "platform/errors.h"
#include "platform/file_errors.h"
#include "report/base/engine_state.h"
#include "report/base/record_stream.h"
#include "report/prepared/compressor.h"
#include "report/prepared/prepared_pages.h"

namespace quillet {
namespace {

// The printer name's form: a 16-bit length, the characters, one zero byte.
std::string ReadPrinterName(Stream& s) {
  const std::uint16_t n = s.ReadU16();
  std::string name = s.ReadBytes(n);
  s.ReadU8();
  return name;
}

void WritePrinterName(Stream& s, const std::string& name) {
  if (name.size() > 0xFFFF) throw StreamWriteError("Printer name too long to store");
  s.WriteU16(static_cast<std::uint16_t>(name.size()));
  s.WriteBytes(name);
  s.WriteU8(0);
}

// Where a page entry ends, checked against the file before anything is
// read or allocated for it: not before the entry's own header, not past
// the end of the file.
std::uint64_t CheckedNext(const Stream& s, std::int32_t next) {
  if (next < 0 || std::uint64_t(next) < s.Position() || std::uint64_t(next) > s.Size())
    throw StreamReadError();
  return std::uint64_t(next);
}

std::int32_t FileOffset(const Stream& s) {
  if (s.Position() > std::uint64_t(std::numeric_limits<std::int32_t>::max()))
    throw StreamWriteError("Prepared-report file too large: offsets past 2 GB cannot be stored");
  return static_cast<std::int32_t>(s.Position());
}

// The page count that follows the printer name; a negative one (2^31 and
// beyond, as unsigned) is refused by name.
std::int32_t ReadPageCount(Stream& s) {
  const std::int32_t count = s.ReadI32();
  if (count < 0)
    throw StreamReadError("The file claims " + std::to_string(std::uint32_t(count)) +
                          " pages, more than a prepared-report file can hold");
  return count;
}

// A page entry that could not be read, with where and why.
std::string PageReadError(std::int32_t index, std::int32_t count, const std::string& why) {
  return "Page " + std::to_string(index + 1) + " of the " + std::to_string(count) +
         " the file claims cannot be read (" + why + ")";
}

}  // namespace

void TfrEMFPages::SetPrinterToPage(PreparedPage& page) {
  TfrPrinter& printer = EnginePrinter(engine_);
  printer.SetPaper(page.PaperSizeCode, page.PaperWidthTenths, page.PaperHeightTenths,
                   page.PaperSource, page.Orientation, false);
  printer.FillPageInfo(page.PageInfo);
}

void TfrEMFPages::WritePreparedFile(Stream& file) {
  const TfrCompressor& compressor = Compressor(engine_);
  // The file says the newest version a page does (25: a page that holds
  // UTF-8 texts; 26: one that holds a PNG or SVG picture).
  std::uint8_t version = kPreparedStreamVersion;
  for (const Slot& slot : pages_) {
    const int first = slot.page ? slot.page->ObjectStream.FirstByte() : slot.records.firstByte;
    if (first > version && first <= kNewestStreamVersion) version = std::uint8_t(first);
  }
  file.WriteU8(version);
  file.WriteU8(compressor.CompressionEnabled ? 1 : 0);
  std::string printerName;
  if (engine_.Printer.EnginePrinter) {
    const TfrPrinter& printer = EnginePrinter(engine_);
    if (printer.SelectedPrinterIndex >= 0 &&
        printer.SelectedPrinterIndex < static_cast<int>(printer.PrinterNames.size()))
      printerName = printer.PrinterNames[printer.SelectedPrinterIndex];
  }
  WritePrinterName(file, printerName);
  file.WriteI32(Count());
  for (int i = 0; i < Count(); ++i) {
    // A parked page is made whole for the moment it is written.
    std::unique_ptr<PreparedPage> scratch;
    const PreparedPage* page = &Peek(i, scratch);
    const std::uint64_t placeholder = file.Position();
    file.WriteI32(0);
    file.WriteI16(page->PaperSizeCode);
    file.WriteI32(page->PaperWidthTenths);
    file.WriteI32(page->PaperHeightTenths);
    file.WriteU8(page->Orientation);
    file.WriteI32(page->PaperSource);
    file.WriteU8(page->MarginsApply);
    file.WriteI32(page->Margins.Left);
    file.WriteI32(page->Margins.Top);
    file.WriteI32(page->Margins.Right);
    file.WriteI32(page->Margins.Bottom);
    if (compressor.CompressionEnabled) {
      MemoryStream data = page->ObjectStream.Reader();
      Compressor(engine_).Compress(data, file);
    } else {
      page->ObjectStream.WriteTo(file);
    }
    const std::int32_t end = FileOffset(file);
    file.Seek(placeholder);
    file.WriteI32(end);
    file.Seek(std::uint64_t(end));
  }
}

void TfrEMFPages::ReadPreparedFile(Stream& file) {
  Clear();
  int version = file.ReadU8();
  if (version < kNamedRecordsVersion || version > 31) {
    // A file without version byte: its first byte is the compression byte.
    version = 0;
    file.Seek(0);
  } else if (version > kNewestStreamVersion) {
    throw StreamReadError("Prepared-report file version " + std::to_string(version) +
                          " is newer than this program reads (versions up to " +
                          std::to_string(kNewestStreamVersion) + ")");
  }
  const std::uint8_t compressed = file.ReadU8();
  if (compressed == 0 || compressed == 1 || compressed == 255)
    ReadCurrentFormat(file, version, compressed);
  else
    ReadPictureFormat(file);
}

void TfrEMFPages::ReadCurrentFormat(Stream& file, int version, std::uint8_t compressed) {
  const std::string printerName = ReadPrinterName(file);
  if (report_) report_->SelectPrinterByName(printerName);
  const std::int32_t count = ReadPageCount(file);
  // Pages are read one by one: a count larger than the file can hold ends
  // in a read error after the pages that are there, never in a huge list.
  std::int32_t i = 0;
  try {
    for (; i < count; ++i) {
      auto page = std::make_unique<PreparedPage>();
      const std::int32_t next = file.ReadI32();
      page->PaperSizeCode = file.ReadI16();
      page->PaperWidthTenths = file.ReadI32();
      page->PaperHeightTenths = file.ReadI32();
      page->Orientation = file.ReadU8();
      page->PaperSource = -1;
      if (version >= kNamedRecordsVersion) page->PaperSource = file.ReadI32();
      page->MarginsApply = file.ReadU8();
      if (version >= kNamedRecordsVersion) {
        page->Margins.Left = file.ReadI32();
        page->Margins.Top = file.ReadI32();
        page->Margins.Right = file.ReadI32();
        page->Margins.Bottom = file.ReadI32();
      }
      const std::uint64_t end = CheckedNext(file, next);
      std::string data = file.ReadBytes(static_cast<std::size_t>(end - file.Position()));
      if (compressed != 0) {
        MemoryStream packed(data);
        MemoryStream unpacked;
        Compressor(engine_).Decompress(packed, unpacked);
        page->ObjectStream.Assign(unpacked.BytesAsString());
      } else {
        page->ObjectStream.Assign(data);
      }
      SetPrinterToPage(*page);
      Append(std::move(page));
      file.Seek(end);
    }
  } catch (const StreamReadError& e) {
    throw StreamReadError(PageReadError(i, count, e.what()));
  }
}

void TfrEMFPages::ReadPictureFormat(Stream& file) {
  // The printer names, separated by carriage returns and ended by a zero byte.
  file.Seek(0);
  std::string names;
  for (char c; (c = static_cast<char>(file.ReadU8())) != 0;) names.push_back(c);
  const std::string first = names.substr(0, names.find('\r'));
  if (report_ && !first.empty()) report_->SelectPrinterByName(first);
  const std::int32_t count = ReadPageCount(file);
  std::int32_t i = 0;
  try {
    for (; i < count; ++i) {
      auto page = std::make_unique<PreparedPage>();
      const std::int32_t next = file.ReadI32();
      page->PaperSizeCode = file.ReadI16();
      page->PaperWidthTenths = file.ReadI32();
      page->PaperHeightTenths = file.ReadI32();
      page->Orientation = file.ReadU8();
      page->MarginsApply = file.ReadU8();
      page->PaperSource = -1;
      const std::uint64_t end = CheckedNext(file, next);
      const std::string metafile = file.ReadBytes(static_cast<std::size_t>(end - file.Position()));
      SetPrinterToPage(*page);
      const OldFormatPictureWriter& writePicture = engine_.OldFormatPictures;
      if (!writePicture)
        throw EngineError(
            "This prepared-report file holds pictures of pages, which need the picture object");
      MemoryStream objects;
      objects.WriteU8(kPreparedStreamVersion);
      writePicture(objects, metafile, page->PageInfo.PaperWidthPx, page->PageInfo.PaperHeightPx);
      page->ObjectStream.Assign(objects.BytesAsString());
      Append(std::move(page));
      file.Seek(end);
    }
  } catch (const StreamReadError& e) {
    throw StreamReadError(PageReadError(i, count, e.what()));
  }
}

void TfrEMFPages::SavePreparedFile(const std::string& path) {
  WriteFileAtomically(path, [this](Stream& out) { WritePreparedFile(out); });
}

void TfrEMFPages::LoadPreparedFile(const std::string& path) {
  FileStream in(path, FileStream::Mode::Read);
  try {
    ReadPreparedFile(in);
  } catch (...) {
    RethrowNamingFile(path);
  }
}

}  // namespace quillet
