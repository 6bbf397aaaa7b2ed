#include "settings/DigitBox.h"

#include "dialogs/MessageBox.h"

#include <QKeyEvent>
#include <QValidator>

#include <optional>

namespace kalvex {

namespace {

bool allDigits(const QString& text) {
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// The last guard: whatever path an edit takes, the box never holds anything but digits.
class DigitsOnly : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override {
        if (allDigits(input))
            return Acceptable;
        MessageBox::beep();
        return Invalid;
    }
};

// Keys that type no character; the box handles them itself.
bool typesNothing(int key) {
    switch (key) {
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Insert:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return true;
    default:
        return key >= Qt::Key_F1 && key <= Qt::Key_F35;
    }
}

// The character code a key types, or nothing for a key that types none. Control
// combinations count as the control characters they stand for (Ctrl+V is 22), whatever
// text the platform attaches to them.
std::optional<int> typedCode(const QKeyEvent& event) {
    const int key = event.key();
    if (typesNothing(key))
        return std::nullopt;
    if (key == Qt::Key_Backspace)
        return 8;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return 13;
    if (key == Qt::Key_Escape)
        return 27;
    if ((event.modifiers() & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A + 1;
    if (!event.text().isEmpty())
        return event.text().at(0).unicode();
    return std::nullopt;
}

} // namespace

DigitBox::DigitBox(QWidget* parent) : QLineEdit(parent) {
    setValidator(new DigitsOnly(this));
}

void DigitBox::keyPressEvent(QKeyEvent* event) {
    const auto code = typedCode(*event);
    if (!code || *code == 8 || (*code >= '0' && *code <= '9')) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    MessageBox::beep();
}

} // namespace kalvex
