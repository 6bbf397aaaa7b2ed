#include "join/JoinProgressWindow.h"

#include "dialogs/Fonts.h"
#include "dialogs/MessageBox.h"
#include "dialogs/ProgressBar.h"
#include "join/JoinJob.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include <optional>
#include <utility>

namespace kalvex {

void JoinProgressWindow::showJoin(const JoinInputs& inputs) {
    JoinProgressWindow window(inputs);
    window.exec();
}

JoinProgressWindow::JoinProgressWindow(JoinInputs inputs) : inputs_(std::move(inputs)) {
    setObjectName(QStringLiteral("FrmJoining"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("The Program is Currently Joining the files..."));
    setWindowIcon(QApplication::windowIcon());
    setModal(true);
    resize(545, 174);
    createControls();
    showProgressIn(progressBar_, percentLabel_);
}

void JoinProgressWindow::createControls() {
    progressBar_ = new ProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setGeometry(24, 40, 465, 25);

    percentLabel_ = new QLabel(QStringLiteral("0% Complete"), this);
    percentLabel_->setObjectName(QStringLiteral("Label1"));
    percentLabel_->setGeometry(120, 72, 297, 25);
    percentLabel_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    percentLabel_->setFont(Fonts::sans(13.5, true));

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("Command1"));
    okButton_->setGeometry(440, 128, 81, 33);
    okButton_->setAutoDefault(false);
    okButton_->hide();

    setTabOrder(progressBar_, okButton_);
}

void JoinProgressWindow::runJob() {
    job_.emplace(inputs_.manifestPath, inputs_.joinFolder);
    startJob(job_->progress(), [this] { return job_->run(); });
}

// The window unloads itself only once its message has been answered.
void JoinProgressWindow::jobEnded(const JobResult& result) {
    if (result) {
        MessageBox::show(MessageBox::Icon::Exclamation, QStringLiteral("Join failed"),
                         QString::fromStdString(result->message), this);
    } else {
        percentLabel_->setText(QStringLiteral("100% Complete"));
        progressBar_->setValue(100.0F);
        setWindowTitle(QStringLiteral("Complete"));
        MessageBox::show(MessageBox::Icon::Information, QStringLiteral("Complete"),
                         QStringLiteral("The Joining process was sucessful!"), this);
    }
    setBusy(false);
    accept();
}

} // namespace kalvex
