#pragma once

#include "dialogs/NoEnterEscDialog.h"

#include <QString>

class QLabel;
class QPushButton;

namespace kalvex {

class DirectoryList;

// The folder picker. The same window serves twice: frmSaver picks where the pieces go,
// frmSaver2 where a joined file goes; each hands its result back through its own pair of
// Module1 values (a confirmed flag and the chosen folder).
class frmSaver : public NoEnterEscDialog {
    Q_OBJECT

public:
    enum class Which { Saver, Saver2 };

    // Shows a fresh picker application-modally; returns once it has closed and is gone.
    static void showPicker(Which which);

private:
    explicit frmSaver(Which which);

    void setUpFrame(Which which);
    void createControls();
    void connectSignals();
    void OK_Click();
    void Command2_Click();

    bool* chosen_;
    QString* chosenPath_;

    QLabel* Label2;
    DirectoryList* Dir1;
    QPushButton* OK;
    QPushButton* Command2;
};

} // namespace kalvex
