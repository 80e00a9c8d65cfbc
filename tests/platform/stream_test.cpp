// Streams: little-endian layout, bounds checks, atomic file writes.
#include "platform/stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/errors.h"
#include "tests/support.h"

namespace quillet {
namespace {

TEST(MemoryStreamTest, WritesLittleEndianAndReadsBack) {
  MemoryStream s;
  s.WriteU8(0xAB);
  s.WriteI16(-2);
  s.WriteU32(0x01020304);
  s.WriteF32(1.5f);
  s.WriteF64(-0.25);
  const std::vector<std::uint8_t> head(s.Bytes().begin(), s.Bytes().begin() + 7);
  EXPECT_EQ(head, (std::vector<std::uint8_t>{0xAB, 0xFE, 0xFF, 0x04, 0x03, 0x02, 0x01}));
  s.Seek(0);
  EXPECT_EQ(s.ReadU8(), 0xAB);
  EXPECT_EQ(s.ReadI16(), -2);
  EXPECT_EQ(s.ReadU32(), 0x01020304u);
  EXPECT_EQ(s.ReadF32(), 1.5f);
  EXPECT_EQ(s.ReadF64(), -0.25);
  EXPECT_TRUE(s.AtEnd());
}

TEST(MemoryStreamTest, ShortReadsRaiseAndKeepThePosition) {
  MemoryStream s(std::string("\x01\x02\x03", 3));
  s.ReadU8();
  EXPECT_THROW(s.ReadU32(), StreamReadError);
  EXPECT_EQ(s.Position(), 1u);
  EXPECT_THROW(s.ReadBytes(3), StreamReadError);
  EXPECT_THROW(s.Seek(4), StreamReadError);
  EXPECT_EQ(s.ReadU16(), 0x0302);
  try {
    s.ReadU8();
    FAIL();
  } catch (const StreamReadError& e) {
    EXPECT_STREQ(e.what(), "Stream read error");
  }
}

TEST(MemoryStreamTest, WritingInsideOverwritesAndPastEndGrows) {
  MemoryStream s;
  s.WriteU32(0);
  s.WriteU8(9);
  s.Seek(0);
  s.WriteU32(0x11223344);
  EXPECT_EQ(s.Size(), 5u);
  s.Seek(5);
  s.WriteU16(7);
  EXPECT_EQ(s.Size(), 7u);
  s.Seek(0);
  EXPECT_EQ(s.ReadU32(), 0x11223344u);
}

// Fields are read straight from a memory stream's bytes: a copy, a moved
// stream and an assigned one each read their own bytes at their own
// position, also after writing has moved the bytes elsewhere.
TEST(MemoryStreamTest, CopiesMovesAndGrownStreamsReadTheirOwnBytes) {
  MemoryStream original;
  original.WriteU16(0x0102);
  original.WriteU32(0xA0B0C0D0);
  original.Seek(0);
  EXPECT_EQ(original.ReadU16(), 0x0102);

  MemoryStream copy(original);
  EXPECT_EQ(copy.ReadU32(), 0xA0B0C0D0u);
  EXPECT_EQ(original.Position(), 2u);  // the copy's reads leave the original alone
  copy.Seek(0);
  copy.WriteU16(0x7777);
  EXPECT_EQ(original.Bytes()[0], 0x02);

  MemoryStream assigned;
  assigned.WriteU8(1);
  assigned = copy;
  assigned.Seek(0);
  EXPECT_EQ(assigned.ReadU16(), 0x7777);
  EXPECT_EQ(copy.Position(), 2u);

  MemoryStream moved(std::move(copy));
  EXPECT_EQ(moved.ReadU32(), 0xA0B0C0D0u);
  EXPECT_THROW(moved.ReadU8(), StreamReadError);
  MemoryStream movedInto;
  movedInto = std::move(assigned);
  EXPECT_EQ(movedInto.ReadI32(), static_cast<std::int32_t>(0xA0B0C0D0));

  // Growing past the room kept reallocates the bytes; reads follow them.
  MemoryStream grown;
  for (std::uint32_t i = 0; i < 5000; ++i) grown.WriteU32(i);
  grown.Seek(4 * 4999);
  EXPECT_EQ(grown.ReadU32(), 4999u);
  EXPECT_TRUE(grown.AtEnd());
}

TEST(FileStreamTest, MissingFileNamesThePath) {
  try {
    FileStream f("/nonexistent/dir/file.frp", FileStream::Mode::Read);
    FAIL();
  } catch (const FileOpenError& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/dir/file.frp"), std::string::npos);
  }
}

TEST(FileStreamTest, AtomicWriteKeepsTheOldFileWhenWritingFails) {
  const std::string path = test::OutputPath("atomic.bin");
  WriteFileAtomically(path, [](Stream& s) { s.WriteU32(42); });
  {
    FileStream in(path, FileStream::Mode::Read);
    EXPECT_EQ(in.Size(), 4u);
    EXPECT_EQ(in.ReadU32(), 42u);
  }
  EXPECT_THROW(WriteFileAtomically(path,
                                   [](Stream& s) {
                                     s.WriteU32(7);
                                     throw StreamWriteError();
                                   }),
               StreamWriteError);
  FileStream in(path, FileStream::Mode::Read);
  EXPECT_EQ(in.ReadU32(), 42u) << "the failed save left the old file";
  for (auto& e : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
    EXPECT_EQ(e.path().string().find("atomic.bin.tmp"), std::string::npos) << e.path();
}

}  // namespace
}  // namespace quillet
