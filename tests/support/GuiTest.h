#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QThread>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>

namespace kalvex::test {

// The visible top-level window with this object name, or null.
inline QWidget* findWindow(const QString& objectName) {
    for (auto* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == objectName && widget->isVisible())
            return widget;
    return nullptr;
}

// Runs action on the modal window named objectName as soon as it shows. Call before the
// click that opens it, since that click only returns when the window has closed.
inline void whenModal(const QString& objectName, std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [=] {
        const auto modal = [&] {
            QWidget* window = QApplication::activeModalWidget();
            return window && window->objectName() == objectName ? window : nullptr;
        };
        if (QTest::qWaitFor([&] { return modal() != nullptr; }, 10000))
            action(modal());
        else
            ADD_FAILURE() << "no modal window " << objectName.toStdString() << " appeared";
    });
}

// Clicks, or double-clicks, the entry of a list whose Qt::UserRole holds value.
inline void clickEntry(QAbstractItemView* view, const QString& value, bool twice) {
    const auto found =
        view->model()->match(view->model()->index(0, 0), Qt::UserRole, value, 1, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << "no entry for " << value.toStdString();
    view->scrollTo(found[0]);
    const QPoint centre = view->visualRect(found[0]).center();
    if (twice)
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
    else
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
}

// A file-system hook that a job calls from its own thread, made to run on the windows'
// thread while the job waits, so that it may look at and work the windows.
template <class Hook> auto onWindowThread(Hook hook) {
    return [hook](auto&&... args) {
        if (QThread::currentThread() == QCoreApplication::instance()->thread())
            return hook(args...);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&] { hook(args...); }, Qt::BlockingQueuedConnection);
    };
}

// The child of window with this object name and type; fails the test when missing.
template <class T> T* child(QWidget* window, const QString& objectName) {
    T* found = window ? window->findChild<T*>(objectName) : nullptr;
    if (!found)
        ADD_FAILURE() << "no control " << objectName.toStdString() << " in "
                      << (window ? window->objectName().toStdString() : "(no window)");
    return found;
}

} // namespace kalvex::test
