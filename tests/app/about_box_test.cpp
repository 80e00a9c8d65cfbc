// The about box: its parts, the system information and the memory text.
#include "app/about_box.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/label_3d.h"
#include "app/system_info.h"

namespace quillet {
namespace {

TEST(SystemInfoTest, MemoryIsShownInWholeKilobytesWithTheLocaleGrouping) {
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  EXPECT_EQ(MemoryText(1073741824ull, english), "1,048,576 KB");
  EXPECT_EQ(MemoryText(536870912ull, english), "524,288 KB");
  EXPECT_EQ(MemoryText(1023, english), "0 KB");
  // Beyond 4 GiB the count keeps its high bits.
  EXPECT_EQ(MemoryText(64ull << 30, english), "67,108,864 KB");
  EXPECT_EQ(MemoryText(1073741824ull, QLocale(QLocale::German, QLocale::Germany)), "1.048.576 KB");
}

TEST(SystemInfoTest, TheMachineIsDescribedByItsOwnName) {
  EXPECT_GT(PhysicalMemoryBytes(), 0u);
  const QString os = OperatingSystemText();
  EXPECT_FALSE(os.isEmpty());
  EXPECT_FALSE(os.contains("Windows"));
  EXPECT_TRUE(os.contains(PlatformName()));
}

TEST(AboutBoxTest, PartsAndCaptions) {
  TfrmAbout box;
  EXPECT_EQ(box.size(), QSize(306, 221));
  EXPECT_EQ(box.windowTitle(), QString::fromUtf8("About Quillet©"));
  EXPECT_EQ(box.Label3D1->Caption(), QString::fromUtf8("Quillet©"));
  EXPECT_EQ(box.Label3D1->geometry(), QRect(26, 10, 223, 41));
  EXPECT_EQ(box.Label3D1->TextStyle(), tsHeavyRecessed);
  EXPECT_EQ(box.Label3D1->LabelFont().height, 35);
  EXPECT_TRUE(box.Label3D1->LabelFont().style & fsBold);
  EXPECT_EQ(box.Label1->text(), "Version 1.0");
  EXPECT_EQ(box.Image1->geometry(), QRect(246, 57, 32, 32));
  EXPECT_EQ(box.OS->toolTip(), OperatingSystemText());
  EXPECT_LE(box.OS->fontMetrics().horizontalAdvance(box.OS->text()), 280 - 26);
  EXPECT_EQ(box.PhysMem->text(), MemoryText(PhysicalMemoryBytes()));
  EXPECT_EQ(box.PhysMem->geometry().right() + 1, 280);
  EXPECT_EQ(box.OKButton->geometry(), QRect(211, 185, 75, 30));
  EXPECT_TRUE(box.OKButton->isDefault());
}

TEST(AboutBoxTest, OkAndEscapeBothCloseWithOk) {
  TfrmAbout box;
  QTimer::singleShot(0, &box, [&] { box.reject(); });
  EXPECT_EQ(box.exec(), QDialog::Accepted);
  TfrmAbout again;
  QTimer::singleShot(0, &again, [&] { again.OKButton->click(); });
  EXPECT_EQ(again.exec(), QDialog::Accepted);
}

}  // namespace
}  // namespace quillet
