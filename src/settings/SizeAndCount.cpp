#include "settings/SizeAndCount.h"

#include "settings/SizeRules.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace kalvex {

SizeAndCount::SizeAndCount(const Controls& controls, QObject* parent)
    : QObject(parent), c_(controls) {
    connectSignals();
}

void SizeAndCount::connectSignals() {
    // clicked, not toggled: only a choice by the user (or its keyboard equivalent) runs
    // a handler, as with the option buttons' Click.
    connect(c_.optFloppy, &QRadioButton::clicked, this, &SizeAndCount::optFloppyClick);
    connect(c_.opt700Mb, &QRadioButton::clicked, this, &SizeAndCount::opt700MbClick);
    connect(c_.optOther, &QRadioButton::clicked, this, &SizeAndCount::optOtherClick);
    connect(c_.txtSize, &QLineEdit::textChanged, this, &SizeAndCount::typedSize);
    connect(c_.CBOType, &QComboBox::activated, this, &SizeAndCount::typedSize);
    connect(c_.CBOType, &QComboBox::editTextChanged, this, &SizeAndCount::typedSize);
}

void SizeAndCount::load() {
    if (c_.optFloppy->isChecked())
        optFloppyClick();
}

void SizeAndCount::refreshCount() {
    if (c_.optFloppy->isChecked())
        optFloppyClick();
    else if (c_.opt700Mb->isChecked())
        opt700MbClick();
    else if (c_.optOther->isChecked())
        optOtherClick();
}

void SizeAndCount::optFloppyClick() {
    fixedSize(SizeRules::FloppyBytes);
}

void SizeAndCount::opt700MbClick() {
    fixedSize(SizeRules::CdBytes);
}

void SizeAndCount::optOtherClick() {
    if (c_.optOther->isChecked()) {
        c_.txtSize->setEnabled(true);
        c_.CBOType->setEnabled(true);
    }
    typedSize();
}

void SizeAndCount::fixedSize(std::int64_t bytes) {
    selectedSize_ = bytes;
    showCount();
    // A typed size stays in its box for the next time "Other:" is chosen.
    c_.txtSize->setEnabled(false);
    c_.CBOType->setEnabled(false);
}

void SizeAndCount::typedSize() {
    const QString digits = c_.txtSize->text();
    const auto unit = SizeRules::unitBytes(c_.CBOType->currentText().toStdString());
    if (digits.isEmpty()) {
        c_.lblHowMany->setText(QStringLiteral("0"));
        return;
    }
    // An unknown unit leaves everything as it was.
    if (unit == 0)
        return;
    selectedSize_ = SizeRules::typedBytes(digits.toStdString(), unit);
    // A size of 0 is kept but gives no count; the caption keeps its last value.
    if (selectedSize_ == 0)
        return;
    showCount();
}

void SizeAndCount::showCount() {
    c_.lblHowMany->setText(QString::number(SizeRules::pieceCount(sourceLength_, selectedSize_)));
}

} // namespace kalvex
