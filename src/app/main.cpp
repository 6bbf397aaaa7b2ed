#include "app/CommandLine.h"
#include "app/LightPalette.h"
#include "app/MainWindow.h"
#include "app/ProgramIcon.h"
#include "app/TerminalJob.h"
#include "dialogs/LocalPath.h"
#include "files/Terminal.h"

#include <QApplication>
#include <QStringList>

#include <string>

int main(int argc, char* argv[]) {
    // Read before the window system starts, which without a display would end the program
    // before a wrong option could be told; Qt's own options are left for it.
    QStringList given;
    for (const std::string& argument : kalvex::files::programArguments(argc, argv))
        given << kalvex::LocalPath::fromBytes(argument);
    const auto commandLine = kalvex::CommandLine::parse(given);
    if (commandLine.action() != kalvex::CommandLine::Action::OpenWindow)
        kalvex::files::useParentConsole();
    // The jobs without a window never start the window system, so they run without a display.
    if (commandLine.action() == kalvex::CommandLine::Action::RunJob)
        return kalvex::TerminalJob(*commandLine.job()).run();
    if (commandLine.action() != kalvex::CommandLine::Action::OpenWindow)
        return commandLine.report();

    QApplication app(argc, argv);
    QApplication::setApplicationVersion(kalvex::CommandLine::version());

    QApplication::setWindowIcon(kalvex::ProgramIcon::icon());
    kalvex::LightPalette::apply();
    kalvex::MainWindow window;
    window.load();
    window.show();
    if (!commandLine.file().isEmpty())
        window.open(commandLine.file());
    return QApplication::exec();
}
