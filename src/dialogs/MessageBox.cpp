#include "dialogs/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace kalvex {

namespace {
MessageBox::Recorder* recorder = nullptr;
}

void MessageBox::show(Icon icon, const QString& title, const QString& text, QWidget* parent) {
    if (recorder) {
        recorder->shown_.push_back({icon, title, text});
        if (recorder->onShown)
            recorder->onShown(recorder->shown_.back());
        return;
    }
    QMessageBox box(icon == Icon::Information ? QMessageBox::Information : QMessageBox::Warning,
                    title, text, QMessageBox::Ok, parent);
    box.exec();
}

void MessageBox::beep() {
    if (recorder) {
        ++recorder->beeps_;
        return;
    }
    QApplication::beep();
}

MessageBox::Recorder::Recorder() : previous_(recorder) {
    recorder = this;
}

MessageBox::Recorder::~Recorder() {
    recorder = previous_;
}

void MessageBox::Recorder::clear() {
    shown_.clear();
    beeps_ = 0;
}

} // namespace kalvex
