#pragma once

#include <QMainWindow>

#include <cstdint>

class QAction;
class QMenu;
class QTabWidget;

namespace kalvex {

class JoinPage;
class JoinRequest;
class SizeAndCount;
class SourceAndDestination;
class SplitPage;
class SplitRequest;

// The main window: the "Split" and "Re-Join" pages in a tab control, and the menus.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow();
    ~MainWindow() override;

    // Selects the starting piece size; runs once before the window is first shown.
    void load();

    // Opens a file named on the command line: a manifest (*.splitMain, any case) on the
    // Re-Join page, any other file on the Split page, each as its Browse button would
    // choose it. A file that cannot be read is named in a message, with the reason.
    void open(const QString& path);

    // Bytes per piece as the size choices last set it.
    std::int64_t selectedSize() const;

private:
    void createMenus();
    void createTabControl();
    void createHandlers();
    void createDropTargets();
    void setFocusOrder();
    void exitProgram();

    QTabWidget* tabs_ = nullptr;
    SplitPage* splitPage_ = nullptr;
    JoinPage* joinPage_ = nullptr;
    SizeAndCount* sizes_ = nullptr;
    SourceAndDestination* source_ = nullptr;
    SplitRequest* splitRequest_ = nullptr;
    JoinRequest* joinRequest_ = nullptr;
};

} // namespace kalvex
