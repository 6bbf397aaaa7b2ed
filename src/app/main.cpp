#include "app/CommandLine.h"
#include "app/LightPalette.h"
#include "app/MainWindow.h"
#include "app/ProgramIcon.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char* argv[]) {
    // The usage and the version are printed without a display. Anything else waits for the
    // application, which takes Qt's own options (-style and the like) out first.
    QStringList given;
    for (int i = 0; i < argc; ++i)
        given << QString::fromLocal8Bit(argv[i]);
    const auto early = kalvex::CommandLine::parse(given);
    if (early.action() == kalvex::CommandLine::Action::PrintHelp ||
        early.action() == kalvex::CommandLine::Action::PrintVersion)
        return early.report();

    QApplication app(argc, argv);
    QApplication::setApplicationVersion(kalvex::CommandLine::version());
    const auto commandLine = kalvex::CommandLine::parse(QApplication::arguments());
    if (commandLine.action() != kalvex::CommandLine::Action::OpenWindow)
        return commandLine.report();

    QApplication::setWindowIcon(kalvex::ProgramIcon::icon());
    kalvex::LightPalette::apply();
    kalvex::MainWindow window;
    window.load();
    window.show();
    if (!commandLine.file().isEmpty())
        window.open(commandLine.file());
    return QApplication::exec();
}
