#pragma once

#include <QObject>
#include <QString>

#include <optional>

class QLineEdit;
class QPushButton;
class QWidget;

namespace kalvex {

class SizeAndCount;

// The Browse handlers of the Split page: the source file with the piece name and count
// that follow from it, and the destination folder.
class SourceAndDestination : public QObject {
    Q_OBJECT

public:
    struct Controls {
        QLineEdit* sourcePathEdit;
        QPushButton* sourceBrowseButton;
        QLineEdit* destinationEdit;
        QPushButton* destinationBrowseButton;
        QLineEdit* pieceNameEdit;
    };

    SourceAndDestination(const Controls& controls, SizeAndCount& sizes, QWidget* window);

    // Chooses the source through the file-open dialog.
    void chooseSource();
    // Chooses the file at path as the source, as if the dialog had answered it.
    void chooseSourceFile(const QString& path);
    // Chooses the destination folder through the folder picker.
    void chooseDestination();
    // Shows folder as the destination, ended by a separator, as the picker's OK does.
    void chooseDestinationFolder(const QString& folder);

    // The file name of the source chosen last, recorded in the manifest; a path typed by
    // hand does not change it.
    const QString& sourceTitle() const { return sourceTitle_; }

private:
    void takeSource(const QString& path, const QString& title);

    Controls c_;
    SizeAndCount& sizes_;
    QWidget* window_;
    QString sourceTitle_;
    std::optional<QString> destination_; // as the folder picker last left it
};

} // namespace kalvex
