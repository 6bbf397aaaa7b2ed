// Every text of the pickers, help and about windows fits its control in the fonts we ship,
// and a PNG of each window is saved for a look by eye (KALVEX_SCREENSHOT_DIR, or the
// build folder's screenshots/).
#include "app/Module1.h"
#include "dialogs/FrmAbout.h"
#include "dialogs/FrmHelp.h"
#include "dialogs/frmSaver.h"
#include "support/GuiTest.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace kalvex::test {
namespace {

QString screenshotFolder() {
    const char* chosen = std::getenv("KALVEX_SCREENSHOT_DIR");
    const QString folder = chosen && *chosen ? QString::fromLocal8Bit(chosen)
                                             : QStringLiteral(KALVEX_DEFAULT_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    return folder;
}

void save(QWidget* window, const QString& name) {
    const QString file = screenshotFolder() + "/" + name + ".png";
    EXPECT_TRUE(window->grab().save(file)) << file.toStdString();
}

// Single-line labels must show their whole caption.
void expectTextsFit(QWidget* window) {
    for (auto* label : window->findChildren<QLabel*>()) {
        if (label->wordWrap() || label->text().isEmpty())
            continue;
        const QFontMetrics metrics = label->fontMetrics();
        const QRect room = label->contentsRect();
        EXPECT_LE(metrics.horizontalAdvance(label->text()), room.width())
            << window->objectName().toStdString() << "." << label->objectName().toStdString();
        EXPECT_LE(metrics.height(), room.height())
            << window->objectName().toStdString() << "." << label->objectName().toStdString();
    }
    // Buttons need the style's own padding around the caption, or it touches the border.
    for (auto* button : window->findChildren<QPushButton*>()) {
        EXPECT_LE(button->sizeHint().width(), button->width())
            << window->objectName().toStdString() << "." << button->objectName().toStdString();
        EXPECT_LE(button->sizeHint().height(), button->height())
            << window->objectName().toStdString() << "." << button->objectName().toStdString();
    }
}

TEST(DialogScreenshots, PickersHelpAndAboutShowEveryTextWhole) {
    for (auto which : {frmSaver::Which::Saver, frmSaver::Which::Saver2}) {
        const QString name = which == frmSaver::Which::Saver ? "frmSaver" : "frmSaver2";
        whenModal(name, [name](QWidget* window) {
            expectTextsFit(window);
            save(window, name);
            QTest::mouseClick(child<QPushButton>(window, "Command2"), Qt::LeftButton);
        });
        frmSaver::showPicker(which);
    }
    Module1::reset();

    FrmHelp::showHelp();
    QWidget* help = findWindow("FrmHelp");
    ASSERT_NE(help, nullptr);
    auto* topics = child<QListWidget>(help, "lstTopics");
    expectTextsFit(help);
    // The longest text, to see it wrapped in full.
    topics->setCurrentRow(0);
    save(help, "FrmHelp");
    help->close();

    FrmAbout::showAbout();
    QWidget* about = findWindow("FrmAbout");
    ASSERT_NE(about, nullptr);
    expectTextsFit(about);
    save(about, "FrmAbout");
    about->close();
}

} // namespace
} // namespace kalvex::test
