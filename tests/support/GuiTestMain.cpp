// Test main of the window tests: a headless application with a fixed locale, and a check
// that every test closes the windows it opened.
#include "app/LightPalette.h"

#include <QApplication>
#include <QLocale>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

class NoWindowLeftOpen : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override {
        QTest::qWait(0);
        for (auto* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && !widget->inherits("QMenu")) {
                ADD_FAILURE() << "window left open: " << widget->objectName().toStdString();
                widget->close();
            }
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    // Qt's own calls: Windows has no setenv.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "C.UTF-8");
    QLocale::setDefault(QLocale::c());
    QApplication app(argc, argv);
    kalvex::LightPalette::apply(); // as the program does
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new NoWindowLeftOpen);
    return RUN_ALL_TESTS();
}
