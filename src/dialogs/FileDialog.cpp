#include "dialogs/FileDialog.h"

#include "dialogs/LocalPath.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

namespace kalvex {

namespace {
FileDialog::Script* script = nullptr;

// "Description (*.ext)| *.ext" is the old "description|pattern" form; Qt wants the
// pattern inside the description's parentheses, which it already is.
QString qtFilter(const QString& filter) {
    const auto bar = filter.indexOf(QLatin1Char('|'));
    return bar < 0 ? filter : filter.left(bar).trimmed();
}

// Shown as the system writes paths ("C:\Data\a.bin" on Windows), with the bytes of the name
// that the dialog read.
FileDialog::Chosen chosen(const QString& answer) {
    const QString path = LocalPath::recovered(answer);
    return {QDir::toNativeSeparators(path), QFileInfo(path).fileName()};
}

// Qt's file dialog reads its folder, history and sidebar from the user's configuration when
// it opens and writes them back when it closes (QSettings of "QtProject"), so a later run
// would offer this run's folders; the program keeps nothing between runs. Qt's settings go
// to a folder of this run instead, removed at exit.
void keepDialogStateForThisRun() {
    static const QTemporaryDir folder;
    static const bool redirected = [] {
        // Without a temporary folder, one that nothing can be written into.
        const QString path = folder.isValid() ? folder.path() : QStringLiteral("/dev/null");
        for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            for (const auto scope : {QSettings::UserScope, QSettings::SystemScope})
                QSettings::setPath(format, scope, path);
        return true;
    }();
    (void)redirected;
}
} // namespace

std::optional<FileDialog::Chosen> FileDialog::getOpenFile(QWidget* parent, const QString& filter) {
    if (script) {
        ++script->calls_;
        script->lastFilter_ = filter;
        if (script->answers_.empty())
            return std::nullopt;
        auto answer = script->answers_.front();
        script->answers_.pop_front();
        if (!answer)
            return std::nullopt;
        return chosen(*answer);
    }
    keepDialogStateForThisRun();
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!filter.isEmpty())
        dialog.setNameFilter(qtFilter(filter));
    // The manifest's pattern must match whatever the case of its name.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return chosen(dialog.selectedFiles().constFirst());
}

FileDialog::Script::Script() : previous_(script) {
    script = this;
}

FileDialog::Script::~Script() {
    script = previous_;
}

void FileDialog::Script::answer(const QString& path) {
    answers_.emplace_back(path);
}

void FileDialog::Script::cancel() {
    answers_.emplace_back(std::nullopt);
}

} // namespace kalvex
