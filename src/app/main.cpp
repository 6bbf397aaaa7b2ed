#include "app/MainWindow.h"
#include "app/ProgramIcon.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(kalvex::ProgramIcon::icon());

    kalvex::MainWindow window;
    window.load();
    window.show();
    return QApplication::exec();
}
