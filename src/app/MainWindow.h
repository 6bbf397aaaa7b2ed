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

    // Bytes per piece as the size choices last set it.
    std::int64_t selectedSize() const;

private:
    void createMenus();
    void createTabControl();
    void createHandlers();
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
