// Opening report files in the preview window: its first size on a screen,
// the recent files, and a template or prepared file dropped on it.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <fstream>

#include "preview/preview_window_size.h"
#include "preview/recent_files.h"
#include "tests/preview/preview_support.h"

namespace quillet {
namespace {

TEST(PreviewWindowSize, MostOfTheScreenCentredButNeverBelowTheLeastSize) {
  const std::pair<QRect, QRect> cases[] = {
      {QRect(0, 0, 1280, 1024), QRect(80, 64, 1120, 896)},
      {QRect(1920, 30, 1600, 870), QRect(2020, 84, 1400, 761)},
      {QRect(0, 0, 480, 320), QRect(18, 7, 443, 305)},
      {QRect(0, 0, 400, 300), QRect(0, 0, 400, 300)},
  };
  for (const auto& [screen, window] : cases) EXPECT_EQ(DefaultPreviewGeometry(screen), window);
}

TEST(RecentFilesRule, NewestFirstOnceEachAtMostEight) {
  QStringList list;
  for (int i = 1; i <= 9; ++i) list = RecentFiles::WithFile(list, QString("/r/%1.frp").arg(i));
  EXPECT_EQ(list.size(), RecentFiles::kMaxFiles);
  EXPECT_EQ(list.first(), "/r/9.frp");
  EXPECT_EQ(list.last(), "/r/2.frp");
  list = RecentFiles::WithFile(list, "/r/5.frp");
  EXPECT_EQ(list.first(), "/r/5.frp");
  EXPECT_EQ(list.count("/r/5.frp"), 1);
  EXPECT_EQ(list.size(), RecentFiles::kMaxFiles);
  EXPECT_TRUE(RecentFiles::WithFile({}, "relative.json").first().startsWith('/'));
}

class PreviewOpenTest : public test::PreviewTest {
 protected:
  // Sends a drag and a drop of `path` to the form; whether the drag was taken.
  static bool Drop(TfrPreviewForm& form, const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(20, 60), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(20, 60), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
    return true;
  }
};

TEST_F(PreviewOpenTest, ADroppedTemplateIsPreparedIntoTheWindowAndRemembered) {
  test::AddPages(report.PreparedPages, 1);
  TfrPreviewForm form;
  Open(form, report, 900, 600);
  const QString json = settingsDir.filePath("two pages.json");
  std::ofstream(json.toStdString()) << R"({"pages": [
    {"name": "Page1", "objects": [{"type": "memo", "name": "A", "left": 10, "top": 10,
      "width": 200, "height": 20, "text": ["first"]}]},
    {"name": "Page2", "objects": [{"type": "memo", "name": "B", "left": 10, "top": 10,
      "width": 200, "height": 20, "text": ["second"]}]}]})";
  const QString text = settingsDir.filePath("notes.txt");
  std::ofstream(text.toStdString()) << "{}";

  EXPECT_FALSE(Drop(form, text));
  EXPECT_EQ(form.Report(), &report);
  ASSERT_TRUE(Drop(form, json));
  ASSERT_TRUE(host.messages.empty()) << host.messages[0].text;
  EXPECT_NE(form.Report(), &report);
  EXPECT_EQ(form.PageCount(), 2);
  EXPECT_EQ(form.Report()->Title, "two pages.json");
  EXPECT_EQ(form.windowTitle(), "Preview - two pages.json");
  EXPECT_TRUE(report.Template.Pages.empty());  // the first report is left as it was
  EXPECT_EQ(RecentFiles::List(), QStringList{json});

  // Its pages saved and dropped again come back from the prepared file.
  const QString frp = settingsDir.filePath("saved.frp");
  form.SavePreparedFile(frp.toStdString());
  ASSERT_TRUE(Drop(form, frp));
  EXPECT_EQ(form.PageCount(), 2);
  EXPECT_EQ(RecentFiles::List(), (QStringList{frp, json}));
  form.Disconnect();
}

TEST_F(PreviewOpenTest, ATemplateThatCannotBeReadLeavesThePagesShown) {
  test::AddPages(report.PreparedPages, 3);
  TfrPreviewForm form;
  Open(form, report, 900, 600);
  const QString bad = settingsDir.filePath("bad.json");
  std::ofstream(bad.toStdString()) << R"({"pages": [{"name": "Page1", "objects": [)";
  ASSERT_TRUE(Drop(form, bad));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].caption, "Error");
  EXPECT_EQ(form.Report(), &report);
  EXPECT_EQ(form.PageCount(), 3);
  EXPECT_TRUE(RecentFiles::List().isEmpty());
  form.Disconnect();
}

}  // namespace
}  // namespace quillet
