#include "app/MainWindow.h"

#include "app/JoinPage.h"
#include "app/PathDrop.h"
#include "app/SplitPage.h"
#include "app/SplitRequest.h"
#include "dialogs/AboutWindow.h"
#include "dialogs/Fonts.h"
#include "dialogs/HelpWindow.h"
#include "dialogs/LocalPath.h"
#include "dialogs/MessageBox.h"
#include "files/FileError.h"
#include "files/FileSystem.h"
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

MainWindow::MainWindow() {
    setObjectName(QStringLiteral("FrmKalvex"));
    setWindowTitle(QStringLiteral("Kalvex"));
    // A fixed frame with the system menu and the close box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    createMenus();
    createTabControl();
    createHandlers();
    createDropTargets();
    setFocusOrder();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

MainWindow::~MainWindow() = default;

void MainWindow::createMenus() {
    QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu->setObjectName(QStringLiteral("mnuFile"));
    QAction* exitAction = fileMenu->addAction(QStringLiteral("Exit"));
    exitAction->setObjectName(QStringLiteral("mnuExit"));
    connect(exitAction, &QAction::triggered, this, &MainWindow::exitProgram);

    QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    helpMenu->setObjectName(QStringLiteral("mnuHelp"));
    QAction* aboutAction = helpMenu->addAction(QStringLiteral("About"));
    aboutAction->setObjectName(QStringLiteral("mnuAbout"));
    QAction* howToUseAction = helpMenu->addAction(QStringLiteral("How To Use"));
    howToUseAction->setObjectName(QStringLiteral("MnuHowToUse"));
    // Both open beside this window, with no owner, and come to the front when open.
    connect(aboutAction, &QAction::triggered, this, [] { AboutWindow::showAbout(); });
    connect(howToUseAction, &QAction::triggered, this, [] { HelpWindow::showHelp(); });
}

void MainWindow::createTabControl() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(ClientSize);
    // The controls' default face; the menu bar keeps the system's.
    client->setFont(Fonts::standard());
    setCentralWidget(client);

    // One pixel wider and two taller than the client area, as the tab control was drawn.
    tabs_ = new QTabWidget(client);
    tabs_->setObjectName(QStringLiteral("h"));
    tabs_->tabBar()->setFont(Fonts::sans(13.5, true));
    tabs_->setGeometry(0, 0, 569, 505);
    splitPage_ = new SplitPage(tabs_);
    joinPage_ = new JoinPage(tabs_);
    tabs_->setCurrentIndex(0);
}

void MainWindow::createHandlers() {
    const auto& s = *splitPage_;
    sizes_ = new SizeAndCount(
        {s.floppyOption, s.cdOption, s.otherOption, s.sizeEdit, s.unitCombo, s.countLabel}, this);
    source_ = new SourceAndDestination({s.sourcePathEdit, s.sourceBrowseButton, s.destinationEdit,
                                        s.destinationBrowseButton, s.pieceNameEdit},
                                       *sizes_, this);
    splitRequest_ = new SplitRequest({s.sourcePathEdit, s.destinationEdit, s.pieceNameEdit,
                                      s.otherOption, s.sizeEdit, s.countLabel, s.splitButton},
                                     *sizes_, *source_, this);
    const auto& j = *joinPage_;
    joinRequest_ = new JoinRequest({j.manifestPathEdit, j.manifestBrowseButton, j.joinFolderEdit,
                                    j.folderBrowseButton, j.joinButton},
                                   this);
}

void MainWindow::createDropTargets() {
    const auto& s = *splitPage_;
    auto* source = new PathDrop(
        PathDrop::Kind::File, [this](const QString& path) { source_->chooseSourceFile(path); },
        this);
    source->watch(splitPage_);
    source->watch(s.sourcePathEdit);
    // The other boxes go on taking dropped text as they always did.
    for (QWidget* box : {s.pieceNameEdit, s.sizeEdit, s.unitCombo->lineEdit()})
        source->watch(box, PathDrop::Text::LeaveToTheBox);
    auto* destination = new PathDrop(
        PathDrop::Kind::Folder,
        [this](const QString& path) { source_->chooseDestinationFolder(path); }, this);
    destination->watch(s.destinationEdit);

    const auto& j = *joinPage_;
    auto* manifest = new PathDrop(
        PathDrop::Kind::Manifest,
        [this](const QString& path) { joinRequest_->chooseManifestFile(path); }, this);
    manifest->watch(joinPage_);
    manifest->watch(j.manifestPathEdit);
    auto* target = new PathDrop(
        PathDrop::Kind::Folder,
        [this](const QString& path) { joinRequest_->chooseTargetFolder(path); }, this);
    target->watch(j.joinFolderEdit);
}

void MainWindow::setFocusOrder() {
    const auto& s = *splitPage_;
    const auto& j = *joinPage_;
    QWidget* const order[] = {tabs_->tabBar(),
                              s.sourcePathEdit,
                              s.sourceBrowseButton,
                              s.destinationEdit,
                              s.destinationBrowseButton,
                              s.floppyOption,
                              s.cdOption,
                              s.otherOption,
                              s.sizeEdit,
                              s.unitCombo,
                              s.splitButton,
                              s.pieceNameEdit,
                              j.manifestBrowseButton,
                              j.manifestPathEdit,
                              j.joinFolderEdit,
                              j.folderBrowseButton,
                              j.joinButton};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void MainWindow::load() {
    sizes_->load();
}

void MainWindow::open(const QString& path) {
    const std::string name = LocalPath::toBytes(path);
    try {
        // The file layer refuses a folder as it refuses a missing file, with the reason.
        files::FileSystem::current().openRead(name)->close();
    } catch (const files::FileError& error) {
        MessageBox::show(MessageBox::Icon::Exclamation, QStringLiteral("Cannot open file"),
                         QString::fromStdString(error.what()), this);
        return;
    }
    if (path.endsWith(QLatin1String(".splitMain"), Qt::CaseInsensitive)) {
        tabs_->setCurrentWidget(joinPage_);
        joinRequest_->chooseManifestFile(path);
    } else {
        tabs_->setCurrentWidget(splitPage_);
        source_->chooseSourceFile(path);
    }
}

std::int64_t MainWindow::selectedSize() const {
    return sizes_->selectedSize();
}

void MainWindow::exitProgram() {
    // Everything ends at once: no window is asked, none runs a close handler.
    for (auto* window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(0);
}

} // namespace kalvex
