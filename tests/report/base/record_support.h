// Reading and writing one record in a chosen stream version, as the
// template and prepared-page readers do (views through ReadViewRecord, so
// that their code page follows their font).
#pragma once

#include <type_traits>

#include "platform/codepage.h"
#include "platform/stream.h"
#include "report/base/record_stream.h"
#include "report/views/object_records.h"
#include "report/views/view.h"

namespace quillet::test {

template <typename Record>
void ReadRecordAt(Record& record, Stream& in, int version = kNamedRecordsVersion) {
  RecordReader reader(in, version);
  if constexpr (std::is_base_of_v<TfrView, Record>)
    ReadViewRecord(reader, record);
  else
    record.ReadRecord(reader);
}

// Returns whether every text fitted its code page.
template <typename Record>
bool WriteRecordAt(Record& record, Stream& out, int version = kNamedRecordsVersion) {
  RecordWriter writer(out, version);
  if constexpr (std::is_base_of_v<TfrView, Record>)
    writer.UseCodePage(CodePageOfCharset(record.TextCharset()));
  record.WriteRecord(writer);
  return !writer.Unfit();
}

}  // namespace quillet::test
