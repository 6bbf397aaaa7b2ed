#include "app/CommandLine.h"
#include "app/LightPalette.h"
#include "app/MainWindow.h"
#include "app/ProgramIcon.h"
#include "app/TerminalJob.h"
#include "dialogs/LocalPath.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char* argv[]) {
    // Read before the window system starts, which without a display would end the program
    // before a wrong option could be told; Qt's own options are left for it.
    QStringList given;
    for (int i = 0; i < argc; ++i)
        given << kalvex::LocalPath::fromBytes(argv[i]);
    auto commandLine = kalvex::CommandLine::parse(given);
    // The jobs without a window never start the window system, so they run without a display.
    if (commandLine.action() == kalvex::CommandLine::Action::RunJob)
        return kalvex::TerminalJob(*commandLine.job()).run();
    if (commandLine.action() != kalvex::CommandLine::Action::OpenWindow)
        return commandLine.report();

    QApplication app(argc, argv);
    QApplication::setApplicationVersion(kalvex::CommandLine::version());
#ifdef Q_OS_WIN
    // argv is in the ANSI code page there; Qt reads the command line in UTF-16.
    commandLine = kalvex::CommandLine::parse(QApplication::arguments());
#endif

    QApplication::setWindowIcon(kalvex::ProgramIcon::icon());
    kalvex::LightPalette::apply();
    kalvex::MainWindow window;
    window.load();
    window.show();
    if (!commandLine.file().isEmpty())
        window.open(commandLine.file());
    return QApplication::exec();
}
