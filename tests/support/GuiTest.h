#pragma once

#include <QApplication>
#include <QString>
#include <QWidget>

#include <functional>

namespace kalvex::test {

// The visible top-level window with this object name, or null.
QWidget* findWindow(const QString& objectName);

// Waits until the application's active modal window has this object name; null on timeout.
QWidget* waitForModal(const QString& objectName, int timeoutMs = 10000);

// Runs action on the modal window named objectName as soon as it shows. Call before the
// click that opens it, since that click only returns when the window has closed.
void whenModal(const QString& objectName, std::function<void(QWidget*)> action,
               int timeoutMs = 10000);

void failMissingChild(QWidget* window, const QString& objectName);

// The child of window with this object name and type; fails the test when missing.
template <class T> T* child(QWidget* window, const QString& objectName) {
    T* found = window ? window->findChild<T*>(objectName) : nullptr;
    if (!found)
        failMissingChild(window, objectName);
    return found;
}

} // namespace kalvex::test
