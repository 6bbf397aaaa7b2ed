#include "dialogs/LoneWindow.h"

#include <QApplication>
#include <QCloseEvent>

namespace kalvex {

namespace {

void deleteOpenWindows() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<LoneWindow*>(widget))
            delete widget;
}

} // namespace

void LoneWindow::present(QPointer<LoneWindow>& open, const std::function<LoneWindow*()>& create) {
    if (!open) {
        qRemovePostRoutine(deleteOpenWindows);
        qAddPostRoutine(deleteOpenWindows);
        open = create();
    }
    open->show();
    open->raise();
    open->activateWindow();
}

LoneWindow::LoneWindow(QPointer<LoneWindow>& open) : open_(open) {
    setAttribute(Qt::WA_DeleteOnClose);
}

void LoneWindow::closeEvent(QCloseEvent* event) {
    // Closed means gone: the next showing builds a fresh window even before this one has
    // actually been deleted.
    if (open_ == this)
        open_ = nullptr;
    QWidget::closeEvent(event);
}

} // namespace kalvex
