#include "app/TabPage.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace kalvex {

TabPage::TabPage(QTabWidget* tabControl, const QString& caption) : tabControl_(tabControl) {
    tabControl->addTab(this, caption);
    // The page sits in the tab control's stack; when the stack moves (the tab strip's
    // height is known only once the style has laid it out) the controls must follow.
    if (auto* stack = parentWidget())
        stack->installEventFilter(this);
}

void TabPage::place(QWidget* control, const QRect& rect) {
    placed_.emplace_back(control, rect);
    const QPoint offset = mapTo(tabControl_, QPoint(0, 0));
    control->setGeometry(rect.translated(-offset));
}

QLabel* TabPage::label(QWidget* parent, const char* name, const QString& caption,
                       const QFont& font) {
    auto* control = new QLabel(caption, parent);
    control->setObjectName(QLatin1String(name));
    control->setFont(font);
    control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return control;
}

QLineEdit* TabPage::textBox(QWidget* parent, const char* name) {
    auto* control = new QLineEdit(parent);
    control->setObjectName(QLatin1String(name));
    return control;
}

QPushButton* TabPage::button(QWidget* parent, const char* name, const QString& caption) {
    auto* control = new QPushButton(caption, parent);
    control->setObjectName(QLatin1String(name));
    // Enter presses no button; Space or a click does.
    control->setAutoDefault(false);
    control->setDefault(false);
    return control;
}

bool TabPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        reposition();
    return QWidget::eventFilter(watched, event);
}

void TabPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    reposition();
}

void TabPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    reposition();
}

void TabPage::reposition() {
    const QPoint offset = mapTo(tabControl_, QPoint(0, 0));
    for (const auto& [control, rect] : placed_)
        if (control)
            control->setGeometry(rect.translated(-offset));
}

} // namespace kalvex
