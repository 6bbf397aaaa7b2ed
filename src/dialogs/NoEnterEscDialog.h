#pragma once

#include <QDialog>

namespace kalvex {

// A dialog with neither an Enter nor an Esc button: Esc closes nothing and Enter presses
// nothing; a focused button is pressed with Space or a click.
class NoEnterEscDialog : public QDialog {
    Q_OBJECT

public:
    using QDialog::QDialog;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace kalvex
