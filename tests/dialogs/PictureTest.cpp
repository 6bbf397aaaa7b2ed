// What a person sees, checked in rendered pictures: bars that fill from the left, flat
// coloured button faces with their captions drawn, and the help list's first Down key.
#include "app/MainWindowDriver.h"
#include "dialogs/HelpWindow.h"
#include "dialogs/ProgressBar.h"
#include "join/JoinProgressWindow.h"
#include "split/SplitProgressWindow.h"
#include "support/TempDir.h"

#include <QImage>
#include <QLabel>
#include <QListWidget>

namespace kalvex::test {
namespace {

// The bar's middle row, at 25 %: changed from the empty bar near the left end, unchanged
// near the right end.
void expectFilledFromTheLeft(QWidget* window) {
    auto* bar = child<ProgressBar>(window, "ProgressBar1");
    ASSERT_NE(bar, nullptr);
    const float shown = bar->value();
    EXPECT_EQ(shown, 25.0F);
    const QRect area = bar->geometry();
    const auto at = [&](float value, double share) {
        bar->setValue(value);
        return window->grab().toImage().pixel(area.left() + int(area.width() * share),
                                              area.center().y());
    };
    EXPECT_NE(at(0, 0.1), at(shown, 0.1)) << "not filled near the left end";
    EXPECT_EQ(at(0, 0.9), at(shown, 0.9)) << "filled near the right end";
}

TEST(Pictures, ProgressBarsFillFromTheLeft) {
    SplitProgressWindow split;
    child<ProgressBar>(&split, "ProgressBar1")->setValue(25.0F);
    expectFilledFromTheLeft(&split);

    // The joining window at its first of four pieces.
    TempDir dir;
    writeFile(dir.file("a.splitMain"), " 4 \r\na.bin\r\n");
    for (int k = 1; k <= 4; ++k)
        writeFile(dir.file("a.split" + std::to_string(k)), "piece");
    MessageBox::Recorder messages;
    bool checked = false;
    whenModal("FrmJoining", [&](QWidget* window) {
        QObject::connect(static_cast<JoinProgressWindow*>(window), &JoinProgressWindow::pieceShown,
                         window, [&, window] {
                             if (!std::exchange(checked, true))
                                 expectFilledFromTheLeft(window);
                         });
    });
    JoinProgressWindow::showJoin({dir.file("a.splitMain"), dir.folder()});
    EXPECT_TRUE(checked);
}

TEST(Pictures, ColouredButtonsHaveFlatFacesAndVisibleCaptions) {
    MainWindowDriver app;
    const QImage picture = app.window().grab().toImage();
    for (const auto& [name, face] : {std::pair{"Command1", QColor(0, 192, 0)},
                                     {"Command2", QColor(0, 192, 0)},
                                     {"Command3", QColor(0, 0, 255)}}) {
        auto* button = app.get<QWidget>(name);
        const QRect box(button->mapTo(&app.window(), QPoint(0, 0)), button->size());
        // Inside the border, corner to corner, away from the caption.
        for (const QPoint& point : {box.topLeft() + QPoint(4, 4), box.bottomRight() - QPoint(4, 4),
                                    QPoint(box.left() + 4, box.bottom() - 4)})
            EXPECT_EQ(picture.pixelColor(point), face) << name;
        int caption = 0;
        for (int x = box.left() + 4; x < box.right() - 4; ++x)
            caption += picture.pixelColor(x, box.center().y()) != face;
        EXPECT_GT(caption, 3) << name << ": no caption drawn";
    }
}

TEST(Pictures, FirstDownInTheHelpListSelectsTheFirstTopic) {
    HelpWindow::showHelp();
    QWidget* help = findWindow("FrmHelp");
    ASSERT_NE(help, nullptr);
    auto* topics = child<QListWidget>(help, "lstTopics");
    // Focus makes a topic current without selecting it.
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(topics, &focusIn);
    QTest::keyClick(topics, Qt::Key_Down);
    ASSERT_EQ(topics->selectedItems().size(), 1);
    EXPECT_EQ(topics->selectedItems().first()->text(), "File Sizes");
    EXPECT_TRUE(child<QLabel>(help, "Label2")->text().startsWith("The filesize deterines"));
    QTest::keyClick(topics, Qt::Key_Down);
    EXPECT_EQ(topics->selectedItems().first()->text(), "Joining Files");
    help->close();
}

} // namespace
} // namespace kalvex::test
