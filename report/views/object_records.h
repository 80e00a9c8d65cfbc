// Object records as template streams and prepared pages hold them, with the
// code page of each object chosen from its font.
#pragma once

#include "platform/stream.h"
#include "report/base/record_stream.h"

namespace quillet {

class TfrView;

// Reads `view`'s record. Before version 25 its texts are bytes of the code
// page its font character set chooses, which the record holds after some of
// its texts: a record read with the default code page whose font chooses
// another one, and that held bytes that code page decides, is read again.
void ReadViewRecord(RecordReader& reader, TfrView& view);

// Writes the object as a prepared page holds it: the type byte, the class
// name of a registered kind, then the record, texts in the view's code page.
void WriteObjectRecord(RecordWriter& writer, TfrView& view);

// Appends `view` to a prepared page's object stream (version byte first).
// A text that the page's code page cannot hold makes it a version 25 page:
// the records already there are written again in UTF-8, then this one.
void AppendObjectRecord(MemoryStream& page, TfrView& view);

}  // namespace quillet
