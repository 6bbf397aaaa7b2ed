#pragma once

#include <QObject>
#include <QString>

#include <optional>

class QLineEdit;
class QPushButton;
class QWidget;

namespace kalvex {

// The handlers of the Re-Join page: the split manifest through the file-open dialog, the
// target folder through the join-folder picker, and the Join button.
class JoinRequest : public QObject {
    Q_OBJECT

public:
    struct Controls {
        QLineEdit* manifestPathEdit;
        QPushButton* manifestBrowseButton;
        QLineEdit* joinFolderEdit;
        QPushButton* folderBrowseButton;
        QPushButton* joinButton;
    };

    JoinRequest(const Controls& controls, QWidget* window);

    // Chooses the split manifest.
    void chooseManifest();
    // Chooses the manifest at path, as if the dialog had answered it.
    void chooseManifestFile(const QString& path);
    // Chooses the folder that receives the rebuilt file.
    void chooseFolder();
    // Shows folder as the target, ended by a separator, as the picker's OK does.
    void chooseTargetFolder(const QString& folder);
    // Checks both fields, hands them over and runs the join in its window.
    void join();

private:
    Controls c_;
    std::optional<QString> folder_; // as the folder picker last left it
    QWidget* window_;
};

} // namespace kalvex
