// Prepared pages held packed: the bytes a closed page gives back, pages that
// do not pack, reopening for more records, the one page open for records at
// a time, and pages past the memory budget moved to a temporary file.
#include "report/prepared/page_stream.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "platform/errors.h"
#include "platform/scope_guard.h"
#include "tests/report/prepared/prepared_support.h"

namespace quillet {
namespace {

using test::PreparedPagesTest;

// The records of a page of rows: a version byte, then the same fields over
// and over with only the place and the text differing.
std::vector<std::uint8_t> RowRecords(int rows) {
  MemoryStream s;
  s.WriteU8(24);
  for (int i = 0; i < rows; ++i) {
    s.WriteU8(0);
    s.WriteBytes(std::string("\x07\x00RowName\x00", 10));
    s.WriteI32(36);
    s.WriteI32(72 + 18 * i);
    s.WriteBytes(std::string("\x0f\x00Liberation Sans\x00\x09\x00\x00\x00\xff\xff\xff\x1f", 25));
    s.WriteBytes("Item #" + std::to_string(1000 + i * 7));
  }
  return s.Bytes();
}

std::vector<std::uint8_t> NoiseBytes(std::size_t n) {
  std::mt19937 random(7);
  std::vector<std::uint8_t> bytes(n);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

void Append(PageStream& page, const std::vector<std::uint8_t>& bytes) {
  page.Open().Write(bytes.data(), bytes.size());
}

TEST(PageStream, AClosedPageIsHeldPackedAndGivesBackEveryByte) {
  const std::vector<std::uint8_t> records = RowRecords(160);
  PageStream page;
  Append(page, records);
  EXPECT_TRUE(page.IsOpen());
  page.Close();
  EXPECT_FALSE(page.IsOpen());
  EXPECT_EQ(page.Size(), records.size());
  EXPECT_LT(page.HeldBytes(), records.size() / 4);
  EXPECT_EQ(page.Bytes(), records);
  MemoryStream reader = page.Reader();
  EXPECT_EQ(reader.Position(), 0u);
  EXPECT_EQ(reader.Bytes(), records);
  MemoryStream written;
  written.WriteU8(0xAA);
  page.WriteTo(written);
  EXPECT_EQ(written.Size(), records.size() + 1);
  EXPECT_TRUE(std::equal(records.begin(), records.end(), written.Bytes().begin() + 1));

  // More records go after the ones there, as if it had never been closed.
  const std::vector<std::uint8_t> more = RowRecords(3);
  Append(page, more);
  EXPECT_TRUE(page.IsOpen());
  page.Close();
  std::vector<std::uint8_t> both = records;
  both.insert(both.end(), more.begin(), more.end());
  EXPECT_EQ(page.Bytes(), both);
}

TEST(PageStream, BytesThatDoNotPackAndEmptyPagesAreKeptAsTheyAre) {
  const std::vector<std::uint8_t> noise = NoiseBytes(5000);
  PageStream page;
  page.Assign(noise);
  EXPECT_FALSE(page.IsOpen());
  EXPECT_EQ(page.HeldBytes(), noise.size());
  EXPECT_EQ(page.Bytes(), noise);
  Append(page, {1, 2});
  EXPECT_EQ(page.Size(), noise.size() + 2);

  PageStream empty;
  empty.Close();
  EXPECT_EQ(empty.Size(), 0u);
  EXPECT_TRUE(empty.Bytes().empty());
  EXPECT_TRUE(empty.Reader().AtEnd());
  PageStream one;
  one.Assign(std::vector<std::uint8_t>{24});
  EXPECT_EQ(one.Bytes(), std::vector<std::uint8_t>{24});
}

TEST_F(PreparedPagesTest, OnePageAtMostIsOpenForRecords) {
  TfrEMFPages pages{Engine()};
  for (int i = 0; i < 3; ++i) {
    pages.AddPage(Paper());
    AddShape(pages, i, skRectangle, 100 + i, 100, 50, 50);
  }
  EXPECT_FALSE(pages[0].ObjectStream.IsOpen());
  EXPECT_FALSE(pages[1].ObjectStream.IsOpen());
  EXPECT_TRUE(pages[2].ObjectStream.IsOpen());
  const std::vector<std::uint8_t> last = pages[2].ObjectStream.Bytes();

  // Formation going back to an earlier page opens it and packs the last.
  AddShape(pages, 0, skEllipse, 300, 300, 50, 50);
  EXPECT_TRUE(pages[0].ObjectStream.IsOpen());
  EXPECT_FALSE(pages[2].ObjectStream.IsOpen());
  EXPECT_EQ(pages[2].ObjectStream.Bytes(), last);
  pages.RebuildPage(0);
  EXPECT_EQ(pages[0].RebuiltPage->ObjectCount(), 2u);

  // The open page deleted, or handed to another list, is no longer tracked.
  pages.DeletePage(0);
  AddShape(pages, 1, skStar, 10, 10, 50, 50);
  TfrEMFPages other{Engine()};
  other.Swap(pages);
  EXPECT_TRUE(other[1].ObjectStream.IsOpen());
  other.DeletePage(1);
  pages.AddPage(Paper());
  AddShape(pages, 0, skTriangle, 10, 10, 50, 50);
  pages.CloseOpenPage();
  EXPECT_FALSE(pages[0].ObjectStream.IsOpen());
  EXPECT_EQ(other.Count(), 1);
  other.RebuildPage(0);
  EXPECT_EQ(other[0].RebuiltPage->ObjectCount(), 1u);
}

TEST_F(PreparedPagesTest, PagesReadFromAFileAreHeldPacked) {
  TfrEMFPages pages{Engine()};
  pages.AddPage(Paper());
  for (int k = 0; k < 40; ++k) AddShape(pages, 0, skRectangle, 10 + k, 10 + 3 * k, 50, 50);
  MemoryStream file;
  pages.WritePreparedFile(file);
  file.Seek(0);
  TfrEMFPages loaded{Engine()};
  loaded.ReadPreparedFile(file);
  ASSERT_EQ(loaded.Count(), 1);
  EXPECT_FALSE(loaded[0].ObjectStream.IsOpen());
  EXPECT_LT(loaded[0].ObjectStream.HeldBytes(), loaded[0].ObjectStream.Size() / 2);
  EXPECT_EQ(loaded[0].ObjectStream.Bytes(), pages[0].ObjectStream.Bytes());
}

// The budget set for a test, and the one before it back afterwards.
class BudgetScope {
 public:
  explicit BudgetScope(std::size_t bytes) : before_(PageStream::MemoryBudget) {
    PageStream::MemoryBudget = bytes;
  }
  ~BudgetScope() { PageStream::MemoryBudget = before_; }

 private:
  std::size_t before_;
};

TEST(PageStream, PagesPastTheBudgetWaitInAFileWithNoNameAndGiveBackEveryByte) {
  const std::size_t heldBefore = PageStream::HeldInMemory();
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("quillet-spill-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const char* tmpBefore = std::getenv("TMPDIR");
  const std::string tmpSaved = tmpBefore ? tmpBefore : "";
  ::setenv("TMPDIR", folder.c_str(), 1);
  const ScopeGuard restore([&] {
    if (tmpBefore)
      ::setenv("TMPDIR", tmpSaved.c_str(), 1);
    else
      ::unsetenv("TMPDIR");
    std::filesystem::remove_all(folder);
  });

  // Room for about two packed pages: the rest go to the file.
  PageStream probe;
  Append(probe, RowRecords(160));
  probe.Close();
  const BudgetScope budget(PageStream::HeldInMemory() - heldBefore + probe.HeldBytes() + 1);
  std::vector<std::vector<std::uint8_t>> written;
  {
    std::vector<std::unique_ptr<PageStream>> pages;
    for (int i = 0; i < 6; ++i) {
      written.push_back(i == 3 ? NoiseBytes(3000) : RowRecords(150 + i));
      pages.push_back(std::make_unique<PageStream>());
      if (i % 2)
        pages.back()->Assign(written.back());
      else
        Append(*pages.back(), written.back()), pages.back()->Close();
    }
    int spilled = 0;
    for (std::size_t i = 0; i < pages.size(); ++i) {
      spilled += pages[i]->IsSpilled();
      EXPECT_EQ(pages[i]->Bytes(), written[i]) << "page " << i;
      EXPECT_EQ(pages[i]->Size(), written[i].size());
      if (pages[i]->IsSpilled()) EXPECT_EQ(pages[i]->HeldBytes(), 0u);
    }
    EXPECT_GE(spilled, 4);
    EXPECT_LE(PageStream::HeldInMemory(), PageStream::MemoryBudget);
    // Nothing in the folder bears a name while the file is in use.
    EXPECT_TRUE(std::filesystem::is_empty(folder));

    // A page brought back for more records keeps them all.
    PageStream& last = *pages.back();
    ASSERT_TRUE(last.IsSpilled());
    Append(last, {7, 8, 9});
    EXPECT_FALSE(last.IsSpilled());
    last.Close();
    written.back().insert(written.back().end(), {7, 8, 9});
    EXPECT_EQ(last.Bytes(), written.back());
    MemoryStream out;
    pages[4]->WriteTo(out);
    EXPECT_EQ(out.Bytes(), written[4]);
  }
  // Pages gone, their memory is no longer counted.
  probe.Assign(std::vector<std::uint8_t>{});
  EXPECT_EQ(PageStream::HeldInMemory(), heldBefore);
}

TEST(PageStream, AFolderThatCannotHoldTheFileIsNamedInTheError) {
  const char* tmpBefore = std::getenv("TMPDIR");
  const std::string tmpSaved = tmpBefore ? tmpBefore : "";
  ::setenv("TMPDIR", "/nonexistent/quillet-folder", 1);
  const ScopeGuard restore([&] {
    if (tmpBefore)
      ::setenv("TMPDIR", tmpSaved.c_str(), 1);
    else
      ::unsetenv("TMPDIR");
  });
  const BudgetScope budget(0);
  PageStream page;
  Append(page, RowRecords(20));
  try {
    page.Close();
    FAIL() << "no error";
  } catch (const EngineError& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/quillet-folder"), std::string::npos)
        << e.what();
  }
  // The page stays whole in memory.
  EXPECT_EQ(page.Bytes(), RowRecords(20));
}

TEST_F(PreparedPagesTest, PagesFormationHasPassedAreParkedAndComeBackWhole) {
  // The same pages formed with every page kept and with none held in memory.
  auto form = [](TfrEMFPages& pages) {
    for (int i = 0; i < 60; ++i) {
      pages.AddPage(i % 7 == 3 ? Paper(256, 1000, 1500, 1) : Paper());
      for (int k = 0; k < 30; ++k) AddShape(pages, i, skRectangle, 10 + k, 10 + 3 * k + i, 50, 50);
    }
    pages.CloseOpenPage();
  };
  TfrEMFPages kept{Engine()};
  form(kept);
  EXPECT_EQ(kept.ParkedCount(), 0);
  MemoryStream keptFile;
  kept.WritePreparedFile(keptFile);

  const BudgetScope budget(0);
  TfrEMFPages parked{Engine()};
  form(parked);
  EXPECT_GE(parked.ParkedCount(), 60 - 16);
  MemoryStream parkedFile;
  parked.WritePreparedFile(parkedFile);
  EXPECT_EQ(parkedFile.Bytes(), keptFile.Bytes());
  EXPECT_GE(parked.ParkedCount(), 60 - 16) << "writing the file keeps pages parked";

  // A parked page asked for is whole again: paper, records, drawing.
  for (int i : {3, 10}) {
    EXPECT_EQ(parked[i].Paper(), kept[i].Paper()) << i;
    EXPECT_EQ(parked[i].ObjectStream.Bytes(), kept[i].ObjectStream.Bytes()) << i;
    parked.RebuildPage(i);
    EXPECT_EQ(parked[i].RebuiltPage->ObjectCount(), 30u);
  }
  // Pages in the middle come and go; the list hands its parked pages on.
  parked.DeletePage(5);
  AddShape(parked, 1, skEllipse, 1, 1, 5, 5);
  TfrEMFPages other{Engine()};
  other.Swap(parked);
  ASSERT_EQ(other.Count(), 59);
  EXPECT_EQ(other[5].ObjectStream.Bytes(), kept[6].ObjectStream.Bytes());
  MemoryStream loadedFile = std::move(parkedFile);
  loadedFile.Seek(0);
  TfrEMFPages loaded{Engine()};
  loaded.ReadPreparedFile(loadedFile);
  EXPECT_GE(loaded.ParkedCount(), 60 - 16) << "pages read from a file are parked too";
  EXPECT_EQ(loaded[59].ObjectStream.Bytes(), kept[59].ObjectStream.Bytes());
}

}  // namespace
}  // namespace quillet
