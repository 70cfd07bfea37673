#include "ui/mainwindow/WebRequestProgress.h"

#include <QApplication>
#include <QProgressDialog>

#include "ui/mainwindow/Mainwindow.h"

WebRequestProgress::WebRequestProgress(TForm1& window, const QString& title, const QString& text) : window_(window)
{
    auto* dialog = new QProgressDialog(text, "Cancel", 0, 0, &window);
    dialog->setObjectName(kObjectName);
    dialog->setWindowTitle(title);
    dialog->setWindowModality(Qt::NonModal);
    dialog->setAutoReset(false);
    dialog->setAutoClose(false);
    dialog->setMinimumDuration(0);
    connect(dialog, &QProgressDialog::canceled, this, [this] { cancel_.Cancel(); });
    dialog->show();
    dialog_ = dialog;
    window_.BeginWebJob(&cancel_);
    QApplication::setOverrideCursor(Qt::BusyCursor);
}

WebRequestProgress::~WebRequestProgress()
{
    Finish();
}

void WebRequestProgress::Finish()
{
    if (finished_)
        return;
    finished_ = true;
    QApplication::restoreOverrideCursor();
    window_.EndWebJob();
    delete dialog_.data();
}

void WebRequestProgress::SetText(const QString& text)
{
    if (dialog_)
        dialog_->setLabelText(text);
}
