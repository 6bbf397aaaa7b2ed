#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <utility>
#include <vector>

class QFont;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace kalvex {

// A page of the main window's tab control. Its controls are laid out relative to the
// tab control's outer top-left corner, tab strip included, wherever the style puts the
// page itself.
class TabPage : public QWidget {
    Q_OBJECT

public:
    TabPage(QTabWidget* tabControl, const QString& caption);

protected:
    // Puts control at rect, given in tab-control coordinates, and keeps it there.
    void place(QWidget* control, const QRect& rect);

    // Small builders shared by the pages; each control gets its object name.
    static QLabel* label(QWidget* parent, const char* name, const QString& caption,
                         const QFont& font);
    static QLineEdit* textBox(QWidget* parent, const char* name);
    static QPushButton* button(QWidget* parent, const char* name, const QString& caption);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void reposition();

    QTabWidget* tabControl_;
    std::vector<std::pair<QPointer<QWidget>, QRect>> placed_;
};

} // namespace kalvex
