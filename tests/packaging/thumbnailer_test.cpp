// The thumbnailer entry, run as a file manager runs it, and the render
// options it relies on.
#include <gtest/gtest.h>

#include <QImage>
#include <QRegularExpression>
#include <filesystem>

#include "tests/packaging/packaging_support.h"
#include "tests/support.h"

namespace quillet {
namespace {

using test::ReadFileBytes;
using test::RunProgram;

// A prepared-report file of several pages, as quillet-cli prepares it.
QString PreparedFile(const std::string& name) {
  const QString path = QString::fromStdString(test::OutputPath(name));
  const auto r = RunProgram(QUILLET_CLI, {"prepare", QUILLET_TEST_DATA "/banded.frf", "-o", path});
  EXPECT_EQ(r.code, 0) << r.err;
  return path;
}

// The entry's value of `key`, or "".
std::string EntryValue(const std::string& entry, const std::string& key) {
  const auto at = entry.find("\n" + key + "=");
  if (at == std::string::npos) return {};
  const auto start = at + key.size() + 2;
  return entry.substr(start, entry.find('\n', start) - start);
}

TEST(ThumbnailerTest, TheEntryDrawsPageOneAtTheRequestedSize) {
  const std::string entry = ReadFileBytes(QUILLET_PACKAGING "/quillet.thumbnailer");
  ASSERT_EQ(entry.rfind("[Thumbnailer Entry]\n", 0), 0u);
  EXPECT_EQ(EntryValue(entry, "TryExec"), "quillet-cli");
  EXPECT_EQ(EntryValue(entry, "MimeType"), "application/x-quillet-prepared-report;");
  const QString frp = PreparedFile("thumb_source.frp");
  const QString png = QString::fromStdString(test::OutputPath("thumb.png"));
  std::filesystem::remove(png.toStdString());

  // The Exec line with its fields filled in, as the thumbnail service does.
  QStringList args = QString::fromStdString(EntryValue(entry, "Exec")).split(' ');
  ASSERT_EQ(args.takeFirst(), "quillet-cli");
  args.replaceInStrings(QRegularExpression("^%i$"), frp);
  args.replaceInStrings(QRegularExpression("^%o$"), png);
  args.replaceInStrings(QRegularExpression("^%s$"), "128");
  const auto r = RunProgram(QUILLET_CLI, args);
  ASSERT_EQ(r.code, 0) << r.err;
  QImage image(png);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(std::max(image.width(), image.height()), 128);
  EXPECT_LT(std::min(image.width(), image.height()), 128) << "the page keeps its proportions";
}

TEST(ThumbnailerTest, SizeAndSingleFileOptionsRefuseWhatTheyCannotDo) {
  const QString frp = PreparedFile("thumb_options.frp");
  const QString png = QString::fromStdString(test::OutputPath("thumb_refused.png"));
  const auto code = [&](const QStringList& extra) {
    return RunProgram(QUILLET_CLI, QStringList{"render", frp} + extra).code;
  };
  EXPECT_EQ(code({"--png-file", png}), 2) << "several pages, one file";
  EXPECT_EQ(code({"--png-file", png, "--pages", "1", "--size", "64", "--scale", "2"}), 2);
  EXPECT_EQ(code({"--svg", png, "--size", "64"}), 2);
  EXPECT_EQ(code({"--png-file", png, "--pages", "1", "--size", "12.5"}), 2);
  EXPECT_EQ(code({"--png-file", png, "--pages", "1", "--size", "5000"}), 2);
  EXPECT_FALSE(std::filesystem::exists(png.toStdString()));
}

TEST(ThumbnailerTest, SizeSetsTheLongerSideOfEveryPngPage) {
  const QString frp = PreparedFile("thumb_pages.frp");
  const std::string dir = test::OutputPath("thumb_pages");
  std::filesystem::remove_all(dir);
  const auto r = RunProgram(QUILLET_CLI, {"render", frp, "--png", QString::fromStdString(dir),
                                          "--pages", "1-2", "--size", "200"});
  ASSERT_EQ(r.code, 0) << r.err;
  for (const char* page : {"/page-001.png", "/page-002.png"}) {
    QImage image(QString::fromStdString(dir + page));
    ASSERT_FALSE(image.isNull()) << page;
    EXPECT_EQ(std::max(image.width(), image.height()), 200) << page;
  }
}

}  // namespace
}  // namespace quillet
