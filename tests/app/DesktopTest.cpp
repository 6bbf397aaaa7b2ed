// The main window on a desktop: files and folders dropped on it, and legible colours under a
// dark desktop theme.
#include "app/LightPalette.h"
#include "app/MainWindowDriver.h"

namespace kalvex::test {
namespace {

// What a drag carries: "text:..." is plain text, anything else local paths in dir joined
// by "+".
std::unique_ptr<QMimeData> payload(const TempDir& dir, const QString& what) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& name : what.split('+'))
        urls << QUrl::fromLocalFile(name == "/" ? name : q(dir.file(name.toStdString())));
    what.startsWith("text:") ? data->setText(what.mid(5)) : data->setUrls(urls);
    return data;
}

TEST(Drop, OneLocalFileOrFolderOfTheRightKindIsChosenAsBrowseWould) {
    TempDir dir;
    writePattern(dir.file("film.avi"), 3000000);
    writeFile(dir.file("film.SplitMain"), " 3 \r\nfilm.avi\r\n");
    std::filesystem::create_directory(dir.path() / "out");
    const QString file = q(dir.file("film.avi")), out = q(dir.folder() + "out/"),
                  manifest = q(dir.file("film.SplitMain"));
    // Page; the box dropped on, or "" for the page; what is dragged; the box where the choice
    // shows, or "" when the drop is refused; what it shows.
    const std::tuple<int, const char*, const char*, const char*, QString> cases[] = {
        {0, "", "film.avi", "txtPath1", file},
        {0, "txtPath1", "film.SplitMain", "txtPath1", manifest},
        {0, "txtName", "film.avi", "txtPath1", file},
        {0, "txtPath2", "out", "txtPath2", out},
        {0, "txtName", "text:typed", "txtName", "typed"}, // a name box takes text as before
        {0, "", "out", "", ""},
        {0, "txtPath2", "film.avi", "", ""}, // a box's refusal holds for the page around it
        {0, "", "film.avi+film.SplitMain", "", ""},
        {0, "", "gone.avi", "", ""},
        {0, "txtPath1", "text:typed", "", ""},
        {1, "", "film.SplitMain", "txtLocation", manifest},
        {1, "txtFolder2", "out", "txtFolder2", out},
        {1, "", "film.avi", "", ""},
        {1, "txtFolder2", "film.SplitMain", "", ""},
    };
    for (const auto& [page, on, what, box, shown] : cases) {
        MainWindowDriver app;
        app.showPage(page);
        QWidget* target = *on ? app.get<QWidget>(on) : app.get<QTabWidget>("h")->widget(page);
        SCOPED_TRACE(std::to_string(page) + " " + on + " " + what);
        EXPECT_EQ(drop(target, *payload(dir, what)), *box != 0);
        const QString all = app.text("txtPath1") + app.text("txtPath2") + app.text("txtName") +
                            app.text("txtLocation") + app.text("txtFolder2");
        EXPECT_EQ(*box ? app.text(box) : all, *box ? shown : "");
        if (box == std::string("txtPath1")) { // chosen as Browse would: name and count follow
            EXPECT_EQ(app.text("txtName") + app.count(),
                      shown == file ? "film.split3" : "film.split1");
        }
    }
    // Not taken: a drag that may only move the user's file, and any drop behind a modal window.
    MainWindowDriver app;
    QWidget* page = app.get<QTabWidget>("h")->widget(0);
    EXPECT_FALSE(drop(page, *payload(dir, "film.avi"), Qt::MoveAction));
    auto modal = std::make_unique<QWidget>();
    modal->setWindowModality(Qt::ApplicationModal);
    modal->show();
    EXPECT_FALSE(drop(page, *payload(dir, "film.avi")));
    modal.reset();
    EXPECT_TRUE(drop(page, *payload(dir, "film.avi")));
}

// The WCAG contrast of a control's text in a picture: the brightest pixel inside its
// border against the darkest, that is its text against its background.
double contrast(const QImage& picture, const QRect& area) {
    const auto linear = [](int value) {
        return value <= 10 ? value / 255.0 / 12.92 : std::pow((value / 255.0 + 0.055) / 1.055, 2.4);
    };
    double least = 1, most = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = picture.pixel(x, y);
            const double luminance =
                0.2126 * linear(qRed(p)) + 0.7152 * linear(qGreen(p)) + 0.0722 * linear(qBlue(p));
            least = std::min(least, luminance), most = std::max(most, luminance);
        }
    return (most + 0.05) / (least + 0.05);
}

TEST(Colours, EveryLabelAndBoxIsLegibleUnderADarkDesktop) {
    const QPalette desktop = QApplication::palette();
    const QColor grey(53, 53, 53); // white text on grey windows and nearly black boxes
    QApplication::setPalette(QPalette(Qt::white, grey, Qt::gray, Qt::black, Qt::darkGray, Qt::white,
                                      Qt::white, QColor(30, 30, 30), grey));
    LightPalette::apply(); // as the program starts
    {
        MainWindowDriver app;
        app.click("optOther");
        for (const char* box : {"txtPath1", "txtPath2", "txtName", "txtLocation", "txtFolder2"})
            app.get<QLineEdit>(box)->setText("/home/user/film.avi");
        app.get<QLineEdit>("txtSize")->setText("12");
        for (int page = 0; page < 2; ++page) {
            app.showPage(page);
            const QImage picture = app.window().grab().toImage();
            for (auto* control : app.get<QTabWidget>("h")->widget(page)->findChildren<QWidget*>())
                if ((qobject_cast<QLabel*>(control) || qobject_cast<QLineEdit*>(control)) &&
                    !control->objectName().isEmpty() && !control->objectName().startsWith("qt_")) {
                    const QRect area(control->mapTo(&app.window(), QPoint(2, 2)),
                                     control->size() - QSize(4, 4));
                    EXPECT_GE(contrast(picture, area), 4.5) << control->objectName().toStdString();
                }
        }
    }
    QApplication::setPalette(desktop);
}

} // namespace
} // namespace kalvex::test
