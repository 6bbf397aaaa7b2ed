#include "dialogs/NoEnterEscDialog.h"

#include <QKeyEvent>

namespace kalvex {

void NoEnterEscDialog::keyPressEvent(QKeyEvent* event) {
    // Swallowed before QDialog accepts or rejects on them.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace kalvex
