// The main window on a desktop: files and folders dropped on it, the names a screen reader
// gives its controls, the keyboard's walk through them, and legible colours under a dark
// desktop theme.
#include "app/LightPalette.h"
#include "app/MainWindowDriver.h"
#include "dialogs/ProgressBar.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

#include <QAccessible>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>

#include <cmath>
#include <filesystem>
#include <map>

namespace kalvex::test {
namespace {

// Drags data onto target as the system would; whether the drag was taken. A taken drop
// must be a copy or a link: a move would let the source delete the user's file.
bool drop(QWidget* target, const QMimeData& data,
          Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(at, actions, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &move);
    QDropEvent dropped(at, actions, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &dropped);
    EXPECT_TRUE(move.isAccepted() && dropped.isAccepted());
    EXPECT_TRUE(!data.hasUrls() || dropped.dropAction() != Qt::MoveAction);
    return dropped.isAccepted();
}

TEST(Drop, OneLocalFileOrFolderOfTheRightKindIsChosenAsBrowseWould) {
    TempDir dir;
    writePattern(dir.file("film.avi"), 3000000);
    writeFile(dir.file("film.SplitMain"), " 3 \r\nfilm.avi\r\n");
    std::filesystem::create_directory(dir.path() / "out");
    const auto urls = [&](std::initializer_list<const char*> names) {
        auto* data = new QMimeData;
        QList<QUrl> list;
        for (const char* name : names)
            list << (name[0] == '/' ? QUrl::fromLocalFile(name)
                                    : QUrl::fromLocalFile(q(dir.file(name))));
        data->setUrls(list);
        return data;
    };
    auto* text = new QMimeData;
    text->setText("typed");
    auto* web = new QMimeData;
    web->setUrls({QUrl("https://example.org/film.avi")});
    std::map<std::string, std::unique_ptr<QMimeData>> payload;
    payload["file"].reset(urls({"film.avi"}));
    payload["manifest"].reset(urls({"film.SplitMain"}));
    payload["folder"].reset(urls({"out"}));
    payload["root"].reset(urls({"/"}));
    payload["two files"].reset(urls({"film.avi", "film.SplitMain"}));
    payload["missing"].reset(urls({"gone.avi"}));
    payload["text"].reset(text);
    payload["web"].reset(web);

    const QString file = q(dir.file("film.avi")), out = q(dir.folder() + "out/");
    const struct {
        int page;
        const char* target; // a box, or "" for the page itself
        const char* what;
        bool taken;
        const char* box; // where the choice shows
        QString shown;
    } cases[] = {
        {0, "", "file", true, "txtPath1", file},
        {0, "txtPath1", "manifest", true, "txtPath1", q(dir.file("film.SplitMain"))},
        {0, "txtName", "file", true, "txtPath1", file},
        {0, "txtPath2", "folder", true, "txtPath2", out},
        {0, "txtPath2", "root", true, "txtPath2", "/"},
        {0, "", "folder", false, "txtPath1", ""},
        {0, "txtPath2", "file", false, "txtPath2", ""},
        {0, "", "two files", false, "txtPath1", ""},
        {0, "", "missing", false, "txtPath1", ""},
        {0, "", "web", false, "txtPath1", ""},
        {0, "", "text", false, "txtPath1", ""},
        {0, "txtPath1", "text", false, "txtPath1", ""},
        {0, "txtPath2", "text", false, "txtPath2", ""},
        {0, "txtName", "folder", false, "txtName", ""},
        {0, "txtName", "text", true, "txtName", "typed"}, // a name box takes text as before
        {1, "", "manifest", true, "txtLocation", q(dir.file("film.SplitMain"))},
        {1, "txtLocation", "manifest", true, "txtLocation", q(dir.file("film.SplitMain"))},
        {1, "txtFolder2", "folder", true, "txtFolder2", out},
        {1, "txtFolder2", "root", true, "txtFolder2", "/"},
        {1, "", "file", false, "txtLocation", ""},
        {1, "", "folder", false, "txtLocation", ""},
        {1, "txtLocation", "text", false, "txtLocation", ""},
        {1, "txtFolder2", "manifest", false, "txtFolder2", ""},
        {1, "txtFolder2", "text", false, "txtFolder2", ""},
    };
    for (const auto& c : cases) {
        MainWindowDriver app;
        app.showPage(c.page);
        QWidget* target =
            *c.target ? app.get<QWidget>(c.target) : app.get<QTabWidget>("h")->widget(c.page);
        const std::string name = std::to_string(c.page) + " " + c.target + " " + c.what;
        EXPECT_EQ(drop(target, *payload[c.what]), c.taken) << name;
        EXPECT_EQ(app.text(c.box), c.shown) << name;
        if (c.page == 0 && c.box == std::string("txtPath1") && c.taken)
            EXPECT_EQ(app.text("txtName") + "|" + app.count(),
                      c.what == std::string("file") ? "film.split|3" : "film.split|1")
                << name;
    }
    // The source may offer only a move, which would take the user's file away.
    MainWindowDriver app;
    EXPECT_FALSE(drop(app.get<QTabWidget>("h")->widget(0), *payload["file"], Qt::MoveAction));
    EXPECT_EQ(app.text("txtPath1"), "");
}

// While a split runs behind its modal window, nothing dropped on the main window is taken.
TEST(Drop, NothingIsTakenWhileAJobRuns) {
    TempDir dir;
    writePattern(dir.file("a.bin"), 100);
    writePattern(dir.file("b.bin"), 100);
    auto data = std::make_unique<QMimeData>();
    data->setUrls({QUrl::fromLocalFile(q(dir.file("b.bin")))});
    FaultyFileSystem spy;
    files::FileSystem::Override use(spy);
    MessageBox::Recorder messages;
    MainWindowDriver app;
    app.browseSource(dir.file("a.bin"));
    app.get<QLineEdit>("txtPath2")->setText(q(dir.folder()));
    int drops = 0;
    spy.beforeWrite = onWindowThread([&](const std::string&, std::int64_t, std::size_t) {
        if (drops++ == 0)
            EXPECT_FALSE(drop(app.get<QTabWidget>("h")->widget(0), *data));
    });
    app.click("Command3");
    EXPECT_GT(drops, 0);
    EXPECT_EQ(onlyMessage(messages).rfind("Complete|", 0), 0U);
    EXPECT_EQ(app.text("txtPath1"), q(dir.file("a.bin")));
    EXPECT_TRUE(drop(app.get<QTabWidget>("h")->widget(0), *data)); // and again once done
}

QString accessible(QObject* object, QAccessible::Text kind = QAccessible::Name) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(kind) : "(none)";
}

TEST(Accessibility, EveryControlHasANameToActOn) {
    MainWindowDriver app;
    const std::pair<const char*, const char*> names[] = {
        {"txtPath1", "File to split"},
        {"Command1", "Browse for the file to split"},
        {"txtPath2", "Destination folder"},
        {"Command2", "Browse for the destination folder"},
        {"txtName", "Name of the pieces"},
        {"optFloppy", "Pieces of 1.38 MB (floppy)"},
        {"opt700Mb", "Pieces of 700 MB (CD-R)"},
        {"optOther", "Pieces of another size"},
        {"txtSize", "Piece size in Kb or Mb"},
        {"CBOType", "Size unit"},
        {"lblHowMany", "Number of pieces: 0"},
        {"Command3", "Split"},
        {"txtLocation", "Split manifest"},
        {"cmdBrowse1", "Browse for the split manifest"},
        {"txtFolder2", "Folder for the joined file"},
        {"cmdBrowse2", "Browse for the folder for the joined file"},
        {"Command4", "Join"},
    };
    for (const auto& [object, name] : names) {
        auto* control = app.get<QWidget>(object);
        if (auto* combo = qobject_cast<QComboBox*>(control))
            control = combo->lineEdit();
        EXPECT_EQ(accessible(control), name) << object;
    }
    EXPECT_EQ(accessible(app.get<QWidget>("lblHowMany"), QAccessible::Value), "0");

    ProgressBar bar;
    bar.setValue(42.5F);
    auto* value = QAccessible::queryAccessibleInterface(&bar)->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toDouble() / value->maximumValue().toDouble(), 0.425);
}

// Tab from the tab strip reaches every control of the page that can take the focus, in the
// page's order, and comes back to the strip.
TEST(Keyboard, TabWalksEveryControlOfEachPage) {
    MainWindowDriver app;
    app.window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app.window()));
    const QStringList walks[] = {
        {"txtPath1", "Command1", "txtPath2", "Command2", "optFloppy", "Command3", "txtName"},
        {"cmdBrowse1", "txtLocation", "txtFolder2", "cmdBrowse2", "Command4"},
    };
    auto* strip = app.get<QTabWidget>("h")->tabBar();
    for (int page = 0; page < 2; ++page) {
        app.showPage(page);
        strip->setFocus();
        QStringList walked;
        for (int step = 0; step <= walks[page].size(); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        }
        EXPECT_EQ(walked, walks[page] + QStringList{strip->objectName()}) << page;
    }
}

// WCAG's relative luminance of a colour.
double luminance(const QColor& colour) {
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

// The contrast of a control's text in a picture: its background is the commonest colour in
// its rectangle, its text the pixel farthest from that.
double contrast(const QImage& picture, const QRect& area) {
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[picture.pixel(x, y)];
    const QColor background(std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                                return a.second < b.second;
                            })->first);
    QColor text = background;
    int farthest = -1;
    for (const auto& [rgb, count] : counts) {
        const QColor colour(rgb);
        const int distance = std::abs(colour.red() - background.red()) +
                             std::abs(colour.green() - background.green()) +
                             std::abs(colour.blue() - background.blue());
        if (distance > farthest)
            farthest = distance, text = colour;
    }
    const double a = luminance(text), b = luminance(background);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

TEST(Colours, EveryLabelAndBoxIsLegibleUnderADarkDesktop) {
    const QPalette desktop = QApplication::palette();
    QPalette dark(QColor(53, 53, 53));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, Qt::white);
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    QApplication::setPalette(dark);
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
            QWidget* shown = app.get<QTabWidget>("h")->widget(page);
            int checked = 0;
            for (auto* control : shown->findChildren<QWidget*>()) {
                if (!(qobject_cast<QLabel*>(control) || qobject_cast<QLineEdit*>(control)) ||
                    control->objectName().isEmpty() || control->objectName().startsWith("qt_"))
                    continue;
                const QRect area(control->mapTo(&app.window(), QPoint(2, 2)),
                                 control->size() - QSize(4, 4));
                EXPECT_GE(contrast(picture, area), 4.5) << control->objectName().toStdString();
                ++checked;
            }
            EXPECT_EQ(checked, page == 0 ? 9 : 5);
        }
    }
    QApplication::setPalette(desktop);
}

} // namespace
} // namespace kalvex::test
