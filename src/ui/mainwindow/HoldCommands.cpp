// Holding a talkgroup: Button13 with the hold dialog, and the double click on an activity row.
#include "ui/mainwindow/HoldCommands.h"

#include <QLineEdit>
#include <QPushButton>

#include <limits>

#include "scancontrol/FollowDecision.h"
#include "ui/dialogs/Holdscreen.h"
#include "ui/mainwindow/Mainwindow.h"

namespace {

constexpr char kHoldCaption[] = "Hold TalkGroup";
constexpr char kReleaseCaption[] = "Release Hold";

}  // namespace

void SetHeldTalkgroup(TForm1& window, int32_t talkgroup)
{
    window.State().HeldTalkgroup.store(talkgroup);
    if (QPushButton* button = window.Widgets().holdButton)
        button->setText(talkgroup == kNoHeldTalkgroup ? kHoldCaption : kReleaseCaption);
}

bool ReadHoldNumber(const QString& text, int32_t& number)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);  // blanks around the digits are allowed
    if (!ok || value < 0 || value > std::numeric_limits<int32_t>::max())
        return false;
    number = static_cast<int32_t>(value);
    return true;
}

void TForm1::OpenHoldDialog()
{
    QPushButton* button = widgets_.holdButton;
    if (button)
        button->setEnabled(false);
    if (state_.HeldTalkgroup.load() != kNoHeldTalkgroup) {
        SetHeldTalkgroup(*this, kNoHeldTalkgroup);
    } else if (TForm5* dialog = dialogs_.hold) {
        // Nothing followed yet offers 0, the target's starting value.
        const int64_t last = state_.LastFollowedTarget.load();
        dialog->Talkgroup()->setText(last == -1 ? QString() : QString::number(last));
        int32_t talkgroup = 0;
        if (dialog->exec() == QDialog::Accepted && ReadHoldNumber(dialog->Talkgroup()->text(), talkgroup))
            SetHeldTalkgroup(*this, talkgroup);
    }
    if (button)
        button->setEnabled(true);
}
