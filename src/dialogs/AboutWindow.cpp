#include "dialogs/AboutWindow.h"

#include "dialogs/Fonts.h"
#include "dialogs/WindowLook.h"

#include <QLabel>
#include <QPushButton>

namespace kalvex {

namespace {

const char* const Author = "Bo Li";

QPointer<LoneWindow> openWindow; // the about window while it is open

} // namespace

void AboutWindow::showAbout() {
    present(openWindow, [] { return new AboutWindow; });
}

AboutWindow::AboutWindow() : LoneWindow(openWindow) {
    setUpFrame();
    createControls();
}

void AboutWindow::setUpFrame() {
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(noWindowIcon());
    setFont(Fonts::standard());
    setFixedSize(452, 219);
}

void AboutWindow::createControls() {
    titleLabel_ = new QLabel(QStringLiteral("Kalvex V. 1.0"), this);
    titleLabel_->setObjectName(QStringLiteral("Label1"));
    titleLabel_->setGeometry(24, 16, 385, 49);
    titleLabel_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    titleLabel_->setFont(Fonts::sans(18));

    authorLabel_ =
        new QLabel(QStringLiteral("Program was created by ") + QLatin1String(Author), this);
    authorLabel_->setObjectName(QStringLiteral("Label2"));
    authorLabel_->setGeometry(136, 176, 153, 17);

    closeButton_ = new QPushButton(QStringLiteral("Close This Window"), this);
    closeButton_->setObjectName(QStringLiteral("Command1"));
    // Centred where a 97-pixel button would be, but 103 wide: in this font the caption
    // would otherwise touch the border.
    closeButton_->setGeometry(325, 176, 103, 33);
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
    closeButton_->setFocus();
}

} // namespace kalvex
