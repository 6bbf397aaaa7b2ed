#pragma once

#include "dialogs/NoEnterEscDialog.h"

#include <QString>

#include <optional>

class QLabel;
class QPushButton;

namespace kalvex {

class DirectoryList;

// The modal folder picker. The same window serves twice: once for where the pieces go,
// once for where a joined file goes; the two differ only in name and placement.
class FolderPicker : public NoEnterEscDialog {
    Q_OBJECT

public:
    enum class Purpose { PieceDestination, JoinDestination };
    enum class Answer { Confirmed, Cancelled, ClosedByFrame };

    struct Result {
        Answer answer;
        QString folder; // the folder opened last, when confirmed

        // The folder in force after this answer, given the one before it: OK chooses a
        // folder, Cancel chooses none, and the close box leaves the earlier choice standing.
        std::optional<QString> after(const std::optional<QString>& before) const;
    };

    // Shows a fresh picker application-modally; returns once it has closed and is gone.
    static Result pick(Purpose purpose);

private:
    explicit FolderPicker(Purpose purpose);

    void setUpFrame(Purpose purpose);
    void createControls();
    void connectSignals();
    void confirm();
    void cancel();

    Result result_{Answer::ClosedByFrame, {}};

    QLabel* lookInLabel_;
    DirectoryList* folderList_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

} // namespace kalvex
