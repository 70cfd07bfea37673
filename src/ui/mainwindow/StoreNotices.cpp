// Problems with the files the program keeps: shown once per kind in the status line and the
// other events log, and a per-system file that cannot be read also in a message, once per system.
#include <QLabel>
#include <QMessageBox>
#include <QTreeView>

#include <filesystem>

#include "platform/Clock.h"
#include "ui/mainwindow/MainWindowLayout.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/mainwindow/Mainwindow.h"
#include "ui/views/ListModel.h"
#include "ui/views/MainWindowWidgets.h"
#include "ui/views/ViewHelpers.h"

using namespace ui_names;

namespace {

// A save fails the same way again at every interval: one line per file and reason is enough.
std::string NoticeKey(const StoreNotice& n)
{
    return (n.kind == StoreNotice::Kind::NotSaved ? "save:" : "read:") + n.path + ":" + n.reason;
}

}  // namespace

void TForm1::ShowFileNotice(const std::string& key, const QString& text)
{
    if (!fileNoticesShown_.insert(key).second)
        return;
    if (QLabel* label = layout_->fileNotice) {
        label->setText(text);
        label->setToolTip(text);
        label->show();
    }
    if (ListModel* events = ModelOf(widgets_.List(ListRole::OtherEvents)))
        screen::AppendLogRow(*events, {screen::TimeText(WallClock().Now()), QString(), text}, screen::kLogCap);
}

void TForm1::ShowStoreNotice(const StoreNotice& notice)
{
    const QString text = QString::fromStdString(notice.Text());
    const bool firstOfSystem =
        notice.kind == StoreNotice::Kind::Unreadable &&
        fileNoticesShown_.insert("system:" + std::filesystem::path(notice.path).parent_path().string()).second;
    ShowFileNotice(NoticeKey(notice), text);
    if (!firstOfSystem)
        return;
    // Not modal: the decode goes on, and the message does not wait for an answer.
    auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
    box->setObjectName("FileNoticeBox");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}
