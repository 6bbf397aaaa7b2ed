#pragma once

#include <QString>

#include <deque>
#include <optional>

class QWidget;

namespace kalvex {

// Every file-open dialog of the program goes through here, so that tests can answer it.
class FileDialog {
public:
    struct Chosen {
        QString path;  // full path of the chosen file
        QString title; // its name without the folder
    };

    // A modal file-open dialog with an optional filter in the form
    // "Description (*.ext)| *.ext"; nothing when the user cancels. The process's working
    // directory is left as it was.
    static std::optional<Chosen> getOpenFile(QWidget* parent, const QString& filter = {});

    // While a Script lives, dialogs take their answers from it in order instead of asking
    // the user; an unscripted dialog counts as cancelled.
    class Script {
    public:
        Script();
        ~Script();
        Script(const Script&) = delete;
        Script& operator=(const Script&) = delete;

        void answer(const QString& path);
        void cancel();

        int calls() const { return calls_; }
        const QString& lastFilter() const { return lastFilter_; }

    private:
        friend class FileDialog;
        std::deque<std::optional<QString>> answers_;
        int calls_ = 0;
        QString lastFilter_;
        Script* previous_;
    };
};

} // namespace kalvex
