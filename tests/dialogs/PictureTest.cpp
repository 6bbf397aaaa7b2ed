// What a person sees, checked in rendered pictures: bars that fill from the left, flat
// coloured button faces with their captions drawn.
#include "app/MainWindowDriver.h"
#include "dialogs/ProgressBar.h"

namespace kalvex::test {
namespace {

// The bar's middle row at 25 %, against the empty bar: changed near the left end,
// unchanged near the right end. Both progress windows use this bar.
TEST(Pictures, ProgressBarsFillFromTheLeft) {
    ProgressBar bar;
    bar.resize(200, 20);
    const QImage empty = bar.grab().toImage();
    bar.setValue(25.0F);
    const QImage filled = bar.grab().toImage();
    EXPECT_NE(empty.pixel(20, 10), filled.pixel(20, 10)) << "not filled near the left end";
    EXPECT_EQ(empty.pixel(180, 10), filled.pixel(180, 10)) << "filled near the right end";
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
