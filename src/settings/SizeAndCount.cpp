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
    // a handler.
    connect(c_.floppyOption, &QRadioButton::clicked, this, &SizeAndCount::chooseFloppySize);
    connect(c_.cdOption, &QRadioButton::clicked, this, &SizeAndCount::chooseCdSize);
    connect(c_.otherOption, &QRadioButton::clicked, this, &SizeAndCount::chooseTypedSize);
    connect(c_.sizeEdit, &QLineEdit::textChanged, this, &SizeAndCount::recomputeTypedSize);
    connect(c_.unitCombo, &QComboBox::activated, this, &SizeAndCount::recomputeTypedSize);
    connect(c_.unitCombo, &QComboBox::editTextChanged, this, &SizeAndCount::recomputeTypedSize);
}

void SizeAndCount::load() {
    if (c_.floppyOption->isChecked())
        chooseFloppySize();
}

void SizeAndCount::refreshCount() {
    if (c_.floppyOption->isChecked())
        chooseFloppySize();
    else if (c_.cdOption->isChecked())
        chooseCdSize();
    else if (c_.otherOption->isChecked())
        chooseTypedSize();
}

void SizeAndCount::chooseFloppySize() {
    fixedSize(SizeRules::FloppyBytes);
}

void SizeAndCount::chooseCdSize() {
    fixedSize(SizeRules::CdBytes);
}

void SizeAndCount::chooseTypedSize() {
    if (c_.otherOption->isChecked()) {
        c_.sizeEdit->setEnabled(true);
        c_.unitCombo->setEnabled(true);
    }
    recomputeTypedSize();
}

void SizeAndCount::fixedSize(std::int64_t bytes) {
    selectedSize_ = bytes;
    showCount();
    // A typed size stays in its box for the next time "Other:" is chosen.
    c_.sizeEdit->setEnabled(false);
    c_.unitCombo->setEnabled(false);
}

void SizeAndCount::recomputeTypedSize() {
    const QString digits = c_.sizeEdit->text();
    const auto unit = SizeRules::unitBytes(c_.unitCombo->currentText().toStdString());
    if (digits.isEmpty()) {
        c_.countLabel->setText(QStringLiteral("0"));
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
    c_.countLabel->setText(QString::number(SizeRules::pieceCount(sourceLength_, selectedSize_)));
}

} // namespace kalvex
