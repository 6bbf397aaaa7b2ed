#include "app/SplitRequest.h"

#include "app/Module1.h"
#include "dialogs/MessageBox.h"
#include "settings/PieceName.h"
#include "settings/SizeAndCount.h"
#include "split/frmSplitting.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kalvex {

SplitRequest::SplitRequest(const Controls& controls, const SizeAndCount& sizes, QWidget* window)
    : QObject(window), c_(controls), sizes_(sizes), window_(window) {
    connect(c_.Command3, &QPushButton::clicked, this, &SplitRequest::split);
}

bool SplitRequest::fieldsFilled() {
    // Only an empty text counts as empty: blanks are a name like any other.
    if (c_.txtPath1->text().isEmpty() || c_.txtPath2->text().isEmpty() ||
        c_.txtName->text().isEmpty()) {
        MessageBox::show(
            MessageBox::Icon::Exclamation, QStringLiteral("All fields Must Be Filled."),
            QStringLiteral("Please Make shure that you have filled out all fields!"), window_);
        return false;
    }
    if (c_.optOther->isChecked() && c_.txtSize->text().isEmpty()) {
        MessageBox::show(MessageBox::Icon::Exclamation, QStringLiteral("File size not selected."),
                         QStringLiteral("You must specify a file size to split the files into!"),
                         window_);
        return false;
    }
    return true;
}

void SplitRequest::split() {
    if (!fieldsFilled())
        return;
    // The name is only ever lengthened, never re-encoded.
    const QString name = c_.txtName->text();
    if (!PieceName::hasSuffix(name.right(int(PieceName::Suffix.size())).toStdString()))
        c_.txtName->setText(
            name + QLatin1String(PieceName::Suffix.data(), qsizetype(PieceName::Suffix.size())));

    // Taken once, now: the job never looks at the count label or the size again.
    Module1::PieceCount = c_.lblHowMany->text().toDouble();
    Module1::PieceSize = static_cast<double>(sizes_.selectedSize());

    frmSplitting::instance().showSplit(
        {c_.txtPath1->text(), c_.txtPath2->text(), c_.txtName->text()});
}

} // namespace kalvex
