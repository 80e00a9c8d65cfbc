// Errors of a user's template or prepared-report file name the file around
// the engine's own message; a template that is no file keeps the message
// as it stands.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/errors.h"
#include "platform/headless_host.h"
#include "platform/stream.h"
#include "report/component/report.h"
#include "report/template/report_template.h"
#include "tests/support.h"

namespace quillet {
namespace {

class FileErrorNamingTest : public ::testing::Test {
 protected:
  void SetUp() override { Engine().SetHost(&host_); }
  void TearDown() override { Engine().SetHost(nullptr); }

  static std::string File(const std::string& name, const std::string& bytes) {
    const std::string path = test::OutputPath(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  HeadlessHost host_;
};

TEST_F(FileErrorNamingTest, ATemplateFileOfALaterVersionIsNamed) {
  const std::string later("\x30\x00\x00\x00", 4);
  const std::string path = File("later_version.frf", later);
  TfrTemplate t;
  t.LoadTemplateFile(path);
  ASSERT_EQ(host_.messages.size(), 1u);
  const std::string refusal =
      "Unsupported FRF format: stream version 48; this program reads versions 21 to 27";
  EXPECT_EQ(host_.messages[0].text, "Cannot open '" + path + "': " + refusal);

  // The same bytes from a stream that is no file: the message alone.
  MemoryStream stream(std::vector<std::uint8_t>(later.begin(), later.end()));
  t.LoadTemplate(stream);
  ASSERT_EQ(host_.messages.size(), 2u);
  EXPECT_EQ(host_.messages[1].text, refusal);
}

TEST_F(FileErrorNamingTest, AShortPreparedReportFileIsNamedAndStaysAStreamReadError) {
  const std::string path = File("short_named.frp", std::string("\x18\x00\x00", 3));
  TfrReport report;
  try {
    report.LoadPrepared(path);
    FAIL() << "nothing raised";
  } catch (const StreamReadError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open '" + path + "': Stream read error");
  }
  EXPECT_THROW(report.LoadPrepared(test::OutputPath("no_such_file.frp")), FileOpenError);
}

}  // namespace
}  // namespace quillet
