#pragma once

#include <QString>

#include <vector>

class QWidget;

namespace kalvex {

// Every message box and beep of the program goes through here, so that tests can answer
// them and see what was shown.
class MessageBox {
public:
    enum class Icon { Information, Exclamation };

    struct Shown {
        Icon icon;
        QString title;
        QString text;
    };

    // A modal box with the icon, the title, the text and a single OK button.
    static void show(Icon icon, const QString& title, const QString& text,
                     QWidget* parent = nullptr);

    // The system's default beep.
    static void beep();

    // While a Recorder lives, boxes are recorded and answered OK at once, and beeps are
    // counted instead of sounded. onShown, when set, runs as each box is recorded (while
    // the caller waits for it, as a real box would make it wait).
    class Recorder {
    public:
        Recorder();
        ~Recorder();
        Recorder(const Recorder&) = delete;
        Recorder& operator=(const Recorder&) = delete;

        const std::vector<Shown>& shown() const { return shown_; }
        int beeps() const { return beeps_; }
        void clear();

        void (*onShown)(const Shown&) = nullptr;

    private:
        friend class MessageBox;
        std::vector<Shown> shown_;
        int beeps_ = 0;
        Recorder* previous_;
    };
};

} // namespace kalvex
