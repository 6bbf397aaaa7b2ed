// Saves pictures of the main window's two pages into the build folder, for review by eye.
#include "app/FrmKalvex.h"
#include "app/ProgramIcon.h"
#include "support/GuiTest.h"

#include <QTabWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace kalvex::test {
namespace {

TEST(Screenshot, MainWindowPages) {
    FrmKalvex window;
    window.load();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* tabs = child<QTabWidget>(&window, QStringLiteral("h"));
    ASSERT_NE(tabs, nullptr);

    const QString folder = QStringLiteral(KALVEX_SCREENSHOT_DIR);
    EXPECT_TRUE(window.grab().save(folder + QStringLiteral("/FrmKalvex-split.png")));
    // The size options close up, where the boxes are tightest.
    auto* options = child<QWidget>(&window, QStringLiteral("Frame1"));
    const QPixmap optionsPicture = options->grab();
    EXPECT_TRUE(optionsPicture.scaled(optionsPicture.size() * 2)
                    .save(folder + QStringLiteral("/FrmKalvex-options-x2.png")));
    tabs->setCurrentIndex(1);
    QTest::qWait(0);
    EXPECT_TRUE(window.grab().save(folder + QStringLiteral("/FrmKalvex-rejoin.png")));
    EXPECT_TRUE(
        ProgramIcon::image().scaled(192, 192).save(folder + QStringLiteral("/icon-x4.png")));
    window.close();
}

} // namespace
} // namespace kalvex::test
