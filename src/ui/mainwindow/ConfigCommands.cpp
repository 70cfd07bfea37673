// The configuration dialog opened from the "&Edit" menu, and what its "Ok" changes in the
// running window.
#include <QPalette>
#include <QTreeView>

#include "decoder/P25Class.h"
#include "ui/config/Configform.h"
#include "ui/mainwindow/BackupScheduler.h"
#include "ui/mainwindow/Mainwindow.h"
#include "ui/views/ColourValue.h"
#include "ui/views/ListFonts.h"

namespace {

// The activity list always shows the default background behind its rows; the affiliation and
// grant lists only while they use the talkgroup colours (else the odd/even colours apply).
void ApplyDefaultBackground(TForm1& window, const Settings& s)
{
    const std::pair<ListRole, bool> lists[] = {{ListRole::Activity, true},
                                               {ListRole::AffiliationList, s.affiliationsUseTGColors},
                                               {ListRole::AffiliationLog, s.affiliationsUseTGColors},
                                               {ListRole::GrantTrace, s.grantsUseTGColors}};
    for (const auto& [role, on] : lists) {
        QTreeView* list = window.Widgets().List(role);
        if (!list || !on)
            continue;
        QPalette palette = list->palette();
        palette.setColor(QPalette::Base, ToQColor(s.defaultBackground));
        list->setPalette(palette);
    }
}

}  // namespace

void TForm1::OpenConfigDialog(int page)
{
    TcfgForm* form = dialogs_.config;
    if (!form || closed_)
        return;
    // The program's one colour chooser, unless another was given.
    if (!form->HasColourChooser())
        form->SetColourChooser([this](QColor& colour) { return ChooseColour(colour); });
    form->Fill(settings_, CurrentScreenFonts(widgets_, listFont_), state_.DecodeRunning, ProgramFolder());
    form->ShowPage(page);
    if (form->exec() != QDialog::Accepted)
        return;
    form->Collect(settings_);

    const QFont global = ApplyListFonts(widgets_, settings_, listFont_);
    if (settings_.useGlobalFont)
        listFont_ = global;
    ApplyDefaultBackground(*this, settings_);
    ApplyTabVisibility();
    // The decoder records only what the visible screens show, and colours with the defaults.
    if (Decoder())
        ApplySettingsToDecoder(settings_, *Decoder());
    ColourProgressBar(settings_.decodeBarColor);
    SaveSettingsNow();
    ApplyLayout();
    backups_->FollowSettings();
}
