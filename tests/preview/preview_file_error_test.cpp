// A prepared-report file the preview cannot load is named in the message
// the user sees, around the engine's own text.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

#include "tests/preview/preview_support.h"

namespace quillet {
namespace {

using test::AddPages;
using test::PreviewTest;

class PreviewFileErrorTest : public PreviewTest {};

TEST_F(PreviewFileErrorTest, TheMessageNamesTheFileItCouldNotOpen) {
  AddPages(report.PreparedPages, 1);
  QTemporaryDir dir;
  const std::string bad = dir.filePath("short.frp").toStdString();
  std::ofstream(bad, std::ios::binary) << std::string("\x18\x00\x00", 3);
  TfrPreviewForm form;
  Open(form, report, 900, 600);
  form.AskOpenName = [&](TfrPreviewForm&) { return QString::fromStdString(bad); };
  form.LoadBtnClick();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "Cannot open '" + bad + "': Stream read error");
  EXPECT_EQ(host.messages[0].caption, "Error");

  host.messages.clear();
  const std::string missing = dir.filePath("missing.frp").toStdString();
  form.AskOpenName = [&](TfrPreviewForm&) { return QString::fromStdString(missing); };
  form.LoadBtnClick();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find(missing), std::string::npos) << host.messages[0].text;
  EXPECT_EQ(form.PageCount(), 1);
}

}  // namespace
}  // namespace quillet
