#include "dialogs/HelpWindow.h"

#include "dialogs/Fonts.h"
#include "dialogs/WindowLook.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace kalvex {

namespace {

struct Topic {
    const char* name;
    const char* text;
};

// In the order the selection handler tries them.
constexpr Topic Topics[] = {
    {"File Sizes",
     "The filesize deterines how large you want each split file to be. If you select "
     "1.38MB(Floppy) it will split the files so that each file will fit onto a formated floppy. "
     "The 700MB split option will split the files so that they will fit onto a normal cd-r. And "
     "the other option will allow you to enter into the box next to it a custom file size (what "
     "ever you want). But keep in mind that you will also need the *.splitmain file to join your "
     "files (this file is usually very small and most of the time can be saved onto the same disk "
     "as the last .split file)."},
    {"Joining Files",
     "To join files you must have all of the split files and the *.splitmain file in the same "
     "folder (if you put them on floppy disks copy the split files onto the computer that you want "
     "to join them onto). When all of the files are in the same folder you open Kalvex and select "
     "the 'Join' tab. Locate the *.splitmain file and select the folder that you want the joined "
     "file to be. Click Join and when the joining process is complete the joined file will be "
     "located in the directory that you specifyed."},
    {"Main Files", "The main file is the file that you will be asked to locate when joining the "
                   "files. To join the files, the *.splitmain file must be located in the same "
                   "folder as all of the other *.split files."},
    {"Splitting Files",
     "To split files you must locate the file you want to split, locate where you want the split "
     "files to be created, and give it a name (it is recomended that you do not change the name "
     "that is automatically put in the name box after selecting the file to split). Then all you "
     "have to do is click split and when it is done the split files and splitmain file will be "
     "located in the folder that you specifyed."},
};

QPointer<LoneWindow> openWindow; // the help window while it is open

} // namespace

void HelpWindow::showHelp() {
    present(openWindow, [] { return new HelpWindow; });
}

HelpWindow::HelpWindow() : LoneWindow(openWindow) {
    setUpFrame();
    createControls();
    connectSignals();
}

void HelpWindow::setUpFrame() {
    setObjectName(QStringLiteral("FrmHelp"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Help"));
    setWindowIcon(noWindowIcon());
    setFont(Fonts::standard());
    resize(595, 516);
}

void HelpWindow::createControls() {
    topicsLabel_ = new QLabel(QStringLiteral("Topics:"), this);
    topicsLabel_->setObjectName(QStringLiteral("Label1"));
    topicsLabel_->setGeometry(8, 16, 113, 25);
    topicsLabel_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    topicsLabel_->setFont(Fonts::sans(13.5));

    topicList_ = new QListWidget(this);
    topicList_->setObjectName(QStringLiteral("lstTopics"));
    topicList_->setGeometry(0, 48, 145, 69);
    topicList_->setSelectionMode(QAbstractItemView::SingleSelection);
    topicList_->setSortingEnabled(true);
    for (const Topic& topic : Topics)
        topicList_->addItem(QString::fromLatin1(topic.name));

    textBox_ = new QFrame(this);
    textBox_->setObjectName(QStringLiteral("Picture1"));
    textBox_->setGeometry(8, 128, 561, 321);
    textBox_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    textBox_->setLineWidth(2);
    textBox_->setFocusPolicy(Qt::StrongFocus);

    // Placed inside the border, where the box's own drawing area starts.
    topicText_ = new QLabel(textBox_);
    topicText_->setObjectName(QStringLiteral("Label2"));
    topicText_->setGeometry(textBox_->contentsRect().x(), textBox_->contentsRect().y(), 553, 305);
    topicText_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    topicText_->setTextFormat(Qt::PlainText);
    topicText_->setWordWrap(true);
    topicText_->setFont(Fonts::sans(12));

    closeButton_ = new QPushButton(QStringLiteral("Close This Window"), this);
    closeButton_->setObjectName(QStringLiteral("Command1"));
    closeButton_->setGeometry(416, 464, 121, 41);

    setTabOrder(topicList_, textBox_);
    setTabOrder(textBox_, closeButton_);
    topicList_->setFocus();
}

void HelpWindow::connectSignals() {
    // The selection, not the current item: focusing the list makes an item current
    // without selecting it, and that must show nothing.
    connect(topicList_, &QListWidget::itemSelectionChanged, this, &HelpWindow::showSelectedTopic);
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
    topicList_->installEventFilter(this);
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event) {
    // Focus makes the first topic current without selecting it, so Down would step over
    // it: with nothing selected, the first Down selects the first topic.
    if (watched == topicList_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down &&
        topicList_->selectedItems().isEmpty() && topicList_->count() > 0) {
        topicList_->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
        return true;
    }
    return LoneWindow::eventFilter(watched, event);
}

void HelpWindow::showSelectedTopic() {
    const QList<QListWidgetItem*> selected = topicList_->selectedItems();
    if (selected.isEmpty())
        return;
    const QString name = selected.first()->text();
    for (const Topic& topic : Topics) {
        if (name == QLatin1String(topic.name)) {
            topicText_->setText(QString::fromLatin1(topic.text));
            return;
        }
    }
}

} // namespace kalvex
