// What a person sees, checked in rendered pictures: bars that fill from the left, flat
// coloured button faces with their captions drawn.
#include "app/MainWindowDriver.h"
#include "dialogs/ProgressBar.h"
#include "join/JoinProgressWindow.h"
#include "split/SplitProgressWindow.h"

namespace kalvex::test {
namespace {

// Each progress window at 25 %, against its empty bar: the bar's middle row changed near
// the left end, unchanged near the right end.
TEST(Pictures, ProgressBarsFillFromTheLeft) {
    SplitProgressWindow split;
    JoinProgressWindow join({});
    for (QWidget* window : std::initializer_list<QWidget*>{&split, &join}) {
        auto* bar = child<ProgressBar>(window, "ProgressBar1");
        const auto at = [&](float value, double share) {
            bar->setValue(value);
            return window->grab().toImage().pixel(bar->x() + int(bar->width() * share),
                                                  bar->y() + bar->height() / 2);
        };
        EXPECT_NE(at(0, 0.1), at(25, 0.1)) << "not filled near the left end";
        EXPECT_EQ(at(0, 0.9), at(25, 0.9)) << "filled near the right end";
    }
}

TEST(Pictures, ColouredButtonsHaveFlatFacesAndVisibleCaptions) {
    MainWindowDriver app;
    const QImage picture = app.window().grab().toImage();
    for (const auto& [name, face] :
         {std::pair{"Command1", QColor(0, 192, 0)}, {"Command3", QColor(0, 0, 255)}}) {
        auto* button = app.get<QWidget>(name);
        const QRect box(button->mapTo(&app.window(), QPoint(0, 0)), button->size());
        // Inside the border, corner to corner, away from the caption.
        for (const QPoint& point : {box.topLeft() + QPoint(4, 4), box.bottomRight() - QPoint(4, 4)})
            EXPECT_EQ(picture.pixelColor(point), face) << name;
        int caption = 0;
        for (int x = box.left() + 4; x < box.right() - 4; ++x)
            caption += picture.pixelColor(x, box.center().y()) != face;
        EXPECT_GT(caption, 3) << name << ": no caption drawn";
    }
}

} // namespace
} // namespace kalvex::test
