#include "app/SplitRequest.h"

#include "dialogs/LocalPath.h"
#include "dialogs/MessageBox.h"
#include "settings/PieceName.h"
#include "settings/SizeAndCount.h"
#include "settings/SourceAndDestination.h"
#include "split/SplitProgressWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kalvex {

SplitRequest::SplitRequest(const Controls& controls, const SizeAndCount& sizes,
                           const SourceAndDestination& source, QWidget* window)
    : QObject(window), c_(controls), sizes_(sizes), source_(source), window_(window) {
    connect(c_.splitButton, &QPushButton::clicked, this, &SplitRequest::split);
}

SplitRequest::~SplitRequest() = default;

bool SplitRequest::fieldsFilled() {
    // Only an empty text counts as empty: blanks are a name like any other.
    if (c_.sourcePathEdit->text().isEmpty() || c_.destinationEdit->text().isEmpty() ||
        c_.pieceNameEdit->text().isEmpty()) {
        MessageBox::show(
            MessageBox::Icon::Exclamation, QStringLiteral("All fields Must Be Filled."),
            QStringLiteral("Please Make shure that you have filled out all fields!"), window_);
        return false;
    }
    if (c_.otherOption->isChecked() && c_.sizeEdit->text().isEmpty()) {
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
    const QString name = c_.pieceNameEdit->text();
    if (!PieceName::hasSuffix(name.right(int(PieceName::Suffix.size())).toStdString()))
        c_.pieceNameEdit->setText(
            name + QLatin1String(PieceName::Suffix.data(), qsizetype(PieceName::Suffix.size())));

    // Taken once, now: the job never looks at the count label or the size again.
    if (!progressWindow_)
        progressWindow_ = std::make_unique<SplitProgressWindow>();
    progressWindow_->showSplit(
        {LocalPath::toBytes(c_.sourcePathEdit->text()),
         LocalPath::toBytes(c_.destinationEdit->text()),
         LocalPath::toBytes(c_.pieceNameEdit->text()), LocalPath::toBytes(source_.sourceTitle()),
         static_cast<double>(sizes_.selectedSize()), c_.countLabel->text().toDouble()});
}

} // namespace kalvex
