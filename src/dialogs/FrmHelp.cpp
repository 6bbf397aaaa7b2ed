#include "dialogs/FrmHelp.h"

#include "dialogs/Fonts.h"
#include "dialogs/WindowLook.h"

#include <QFrame>
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

void FrmHelp::showHelp() {
    present(openWindow, [] { return new FrmHelp; });
}

FrmHelp::FrmHelp() : LoneWindow(openWindow) {
    setUpFrame();
    createControls();
    connectSignals();
}

void FrmHelp::setUpFrame() {
    setObjectName(QStringLiteral("FrmHelp"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Help"));
    setWindowIcon(noWindowIcon());
    setFont(Fonts::standard());
    resize(595, 516);
}

void FrmHelp::createControls() {
    Label1 = new QLabel(QStringLiteral("Topics:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 16, 113, 25);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(Fonts::sans(13.5));

    lstTopics = new QListWidget(this);
    lstTopics->setObjectName(QStringLiteral("lstTopics"));
    lstTopics->setGeometry(0, 48, 145, 69);
    lstTopics->setSelectionMode(QAbstractItemView::SingleSelection);
    lstTopics->setSortingEnabled(true);
    for (const Topic& topic : Topics)
        lstTopics->addItem(QString::fromLatin1(topic.name));

    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(8, 128, 561, 321);
    Picture1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Picture1->setLineWidth(2);
    Picture1->setFocusPolicy(Qt::StrongFocus);

    // Placed inside the border, where the box's own drawing area starts.
    Label2 = new QLabel(Picture1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(Picture1->contentsRect().x(), Picture1->contentsRect().y(), 553, 305);
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label2->setTextFormat(Qt::PlainText);
    Label2->setWordWrap(true);
    Label2->setFont(Fonts::sans(12));

    Command1 = new QPushButton(QStringLiteral("Close This Window"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(416, 464, 121, 41);

    setTabOrder(lstTopics, Picture1);
    setTabOrder(Picture1, Command1);
    lstTopics->setFocus();
}

void FrmHelp::connectSignals() {
    // The selection, not the current item: focusing the list makes an item current
    // without selecting it, and that must show nothing.
    connect(lstTopics, &QListWidget::itemSelectionChanged, this, &FrmHelp::lstTopics_Click);
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);
}

void FrmHelp::lstTopics_Click() {
    const QList<QListWidgetItem*> selected = lstTopics->selectedItems();
    if (selected.isEmpty())
        return;
    const QString name = selected.first()->text();
    for (const Topic& topic : Topics) {
        if (name == QLatin1String(topic.name)) {
            Label2->setText(QString::fromLatin1(topic.text));
            return;
        }
    }
}

} // namespace kalvex
