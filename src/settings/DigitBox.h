#pragma once

#include <QLineEdit>

namespace kalvex {

// A text box that holds decimal digits only. A typed character other than a digit or
// Backspace is dropped with a beep (Enter, Esc and control keys such as Ctrl+V included);
// keys that type nothing (Delete, arrows, Home, End) work as usual. Text arriving any
// other way (context-menu paste, Shift+Insert, drag and drop) is refused with the same
// beep unless the box would still hold digits only.
class DigitBox : public QLineEdit {
    Q_OBJECT

public:
    explicit DigitBox(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace kalvex
