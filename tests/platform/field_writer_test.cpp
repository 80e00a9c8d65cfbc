// Gathered record fields: the same bytes as writing field by field, in few writes.
#include "platform/field_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/stream.h"

namespace quillet {
namespace {

// A memory stream that counts the writes it is given.
class CountingStream : public MemoryStream {
 public:
  void Write(const void* buffer, std::size_t n) override {
    ++writes;
    MemoryStream::Write(buffer, n);
  }
  int writes = 0;
};

TEST(FieldWriterTest, KeepsTheBytesAndOrderOfFieldByFieldWriting) {
  const std::string longPiece(1500, 'x');  // longer than what the writer holds
  const std::string filler(300, 'y');      // pushes later fields over its end
  MemoryStream expected;
  CountingStream gathered;
  FieldWriter w(gathered);
  for (int round = 0; round < 3; ++round) {
    expected.WriteU8(0xAB);
    w.U8(0xAB);
    expected.WriteI16(-2);
    w.I16(-2);
    expected.WriteI32(-70000 + round);
    w.I32(-70000 + round);
    expected.WriteU32(0x01020304);
    w.U32(0x01020304);
    expected.WriteBytes(filler);
    w.Bytes(filler);
    expected.WriteU16(0xBEEF);
    w.U16(0xBEEF);
    expected.WriteBytes(longPiece);
    w.Bytes(longPiece);
    expected.WriteBytes("");
    w.Bytes("");
  }
  w.Flush();
  EXPECT_EQ(gathered.Bytes(), expected.Bytes());
}

TEST(FieldWriterTest, HandsASmallRecordOverInOneWriteOnFlush) {
  CountingStream out;
  FieldWriter w(out);
  w.U8(1);
  w.U16(2);
  w.U32(3);
  w.Bytes("name");
  EXPECT_EQ(out.writes, 0);
  EXPECT_EQ(out.Size(), 0u);
  w.Flush();
  w.Flush();  // nothing held: no empty write
  EXPECT_EQ(out.writes, 1);
  EXPECT_EQ(out.Size(), 11u);
}

}  // namespace
}  // namespace quillet
