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

// The main window: the "Split" and "Re-Join" pages in the tab control h, and the menus.
class FrmKalvex : public QMainWindow {
    Q_OBJECT

public:
    FrmKalvex();
    ~FrmKalvex() override;

    // The Load handler, run once before the window is first shown.
    void load();

    // Bytes per piece as the size choices last set it.
    std::int64_t selectedSize() const;

private:
    void createMenus();
    void createTabControl();
    void createHandlers();
    void setFocusOrder();
    void exitProgram();

    QTabWidget* h = nullptr;
    SplitPage* splitPage_ = nullptr;
    JoinPage* joinPage_ = nullptr;
    SizeAndCount* sizes_ = nullptr;
    SourceAndDestination* source_ = nullptr;
    SplitRequest* splitRequest_ = nullptr;
    JoinRequest* joinRequest_ = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* MnuHowToUse = nullptr;
};

} // namespace kalvex
