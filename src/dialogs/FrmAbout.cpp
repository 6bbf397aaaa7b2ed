#include "dialogs/FrmAbout.h"

#include "dialogs/Fonts.h"
#include "dialogs/WindowLook.h"

#include <QLabel>
#include <QPushButton>

namespace kalvex {

namespace {

const char* const Author = "Bo Li";

QPointer<LoneWindow> openWindow; // the about window while it is open

} // namespace

void FrmAbout::showAbout() {
    present(openWindow, [] { return new FrmAbout; });
}

FrmAbout::FrmAbout() : LoneWindow(openWindow) {
    setUpFrame();
    createControls();
}

void FrmAbout::setUpFrame() {
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(noWindowIcon());
    setFont(Fonts::standard());
    setFixedSize(452, 219);
}

void FrmAbout::createControls() {
    Label1 = new QLabel(QStringLiteral("Kalvex V. 1.0"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(24, 16, 385, 49);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(Fonts::sans(18));

    Label2 = new QLabel(QStringLiteral("Program was created by ") + QLatin1String(Author), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(136, 176, 153, 17);

    Command1 = new QPushButton(QStringLiteral("Close This Window"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    // Centred where a 97-pixel button would be, but 103 wide: in this font the caption
    // would otherwise touch the border.
    Command1->setGeometry(325, 176, 103, 33);
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);
    Command1->setFocus();
}

} // namespace kalvex
