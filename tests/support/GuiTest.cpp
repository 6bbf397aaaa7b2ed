#include "support/GuiTest.h"

#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace kalvex::test {

QWidget* findWindow(const QString& objectName) {
    for (auto* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == objectName && widget->isVisible())
            return widget;
    return nullptr;
}

QWidget* waitForModal(const QString& objectName, int timeoutMs) {
    QWidget* found = nullptr;
    (void)QTest::qWaitFor(
        [&] {
            auto* modal = QApplication::activeModalWidget();
            if (modal && modal->objectName() == objectName)
                found = modal;
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

void whenModal(const QString& objectName, std::function<void(QWidget*)> action, int timeoutMs) {
    QTimer::singleShot(0, [objectName, action = std::move(action), timeoutMs] {
        auto* window = waitForModal(objectName, timeoutMs);
        if (!window) {
            ADD_FAILURE() << "no modal window " << objectName.toStdString() << " appeared";
            return;
        }
        action(window);
    });
}

void failMissingChild(QWidget* window, const QString& objectName) {
    ADD_FAILURE() << "no control " << objectName.toStdString() << " in "
                  << (window ? window->objectName().toStdString() : std::string("(no window)"));
}

} // namespace kalvex::test
