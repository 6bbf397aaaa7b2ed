#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

namespace kalvex {

// A window of which at most one of its kind is open, independent of the main window.
// Showing it again brings the open one to the front; closed, it is forgotten and deletes
// itself; one still open when the program ends is deleted with it.
class LoneWindow : public QWidget {
    Q_OBJECT

protected:
    // Shows the window held in open, made by create when there is none, in front.
    static void present(QPointer<LoneWindow>& open, const std::function<LoneWindow*()>& create);

    explicit LoneWindow(QPointer<LoneWindow>& open);

    void closeEvent(QCloseEvent* event) override;

private:
    QPointer<LoneWindow>& open_;
};

} // namespace kalvex
