#include "app/FrmKalvex.h"

#include "app/JoinPage.h"
#include "app/SplitPage.h"
#include "app/SplitRequest.h"
#include "dialogs/Fonts.h"
#include "dialogs/FrmAbout.h"
#include "dialogs/FrmHelp.h"
#include "join/JoinRequest.h"
#include "settings/SizeAndCount.h"
#include "settings/SourceAndDestination.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>

namespace kalvex {

namespace {
// The area below the menu bar.
constexpr QSize ClientSize(568, 503);
} // namespace

FrmKalvex::FrmKalvex() {
    setObjectName(QStringLiteral("FrmKalvex"));
    setWindowTitle(QStringLiteral("Kalvex"));
    // A fixed frame with the system menu and the close box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    createMenus();
    createTabControl();
    createHandlers();
    setFocusOrder();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

FrmKalvex::~FrmKalvex() = default;

void FrmKalvex::createMenus() {
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuExit = mnuFile->addAction(QStringLiteral("Exit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(mnuExit, &QAction::triggered, this, &FrmKalvex::exitProgram);

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuAbout = mnuHelp->addAction(QStringLiteral("About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    MnuHowToUse = mnuHelp->addAction(QStringLiteral("How To Use"));
    MnuHowToUse->setObjectName(QStringLiteral("MnuHowToUse"));
    // Both open beside this window, with no owner, and come to the front when open.
    connect(mnuAbout, &QAction::triggered, this, [] { FrmAbout::showAbout(); });
    connect(MnuHowToUse, &QAction::triggered, this, [] { FrmHelp::showHelp(); });
}

void FrmKalvex::createTabControl() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(ClientSize);
    // The controls' default face; the menu bar keeps the system's.
    client->setFont(Fonts::standard());
    setCentralWidget(client);

    // One pixel wider and two taller than the client area, as the tab control was drawn.
    h = new QTabWidget(client);
    h->setObjectName(QStringLiteral("h"));
    h->tabBar()->setFont(Fonts::sans(13.5, true));
    h->setGeometry(0, 0, 569, 505);
    splitPage_ = new SplitPage(h);
    joinPage_ = new JoinPage(h);
    h->setCurrentIndex(0);
}

void FrmKalvex::createHandlers() {
    const auto& s = *splitPage_;
    sizes_ = new SizeAndCount(
        {s.optFloppy, s.opt700Mb, s.optOther, s.txtSize, s.CBOType, s.lblHowMany}, this);
    source_ = new SourceAndDestination({s.txtPath1, s.Command1, s.txtPath2, s.Command2, s.txtName},
                                       *sizes_, this);
    splitRequest_ = new SplitRequest(
        {s.txtPath1, s.txtPath2, s.txtName, s.optOther, s.txtSize, s.lblHowMany, s.Command3},
        *sizes_, this);
    const auto& j = *joinPage_;
    joinRequest_ = new JoinRequest(
        {j.txtLocation, j.cmdBrowse1, j.txtFolder2, j.cmdBrowse2, j.Command4}, this);
}

void FrmKalvex::setFocusOrder() {
    const auto& s = *splitPage_;
    const auto& j = *joinPage_;
    QWidget* const order[] = {h->tabBar(),  s.txtPath1, s.Command1,   s.txtPath2,    s.Command2,
                              s.optFloppy,  s.opt700Mb, s.optOther,   s.txtSize,     s.CBOType,
                              s.Command3,   s.txtName,  j.cmdBrowse1, j.txtLocation, j.txtFolder2,
                              j.cmdBrowse2, j.Command4};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void FrmKalvex::load() {
    sizes_->load();
}

std::int64_t FrmKalvex::selectedSize() const {
    return sizes_->selectedSize();
}

void FrmKalvex::exitProgram() {
    // Everything ends at once: no window is asked, none runs a close handler.
    for (auto* window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(0);
}

} // namespace kalvex
