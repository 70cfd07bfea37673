// The editing dialogs opened from the menu and the lists, and the shared colour chooser.
#include <QAction>
#include <QColor>
#include <QColorDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>

#include "decoder/P25Class.h"
#include "ui/dialogs/Addrange.h"
#include "ui/dialogs/NamesEditor.h"
#include "ui/dialogs/NamesImportDialog.h"
#include "ui/dialogs/Radidedit.h"
#include "ui/dialogs/Tgedit.h"
#include "ui/dialogs/Usage.h"
#include "ui/mainwindow/Mainwindow.h"

namespace {

constexpr char kRangeErrorTitle[] = "Range Error";
constexpr char kRangeErrorText[] = "The low value may not be higher than the high value";
constexpr char kColourDialogName[] = "ColorDialog1";

// The file chooser of a CSV name list to import.
QString ChooseNameList(QWidget* parent, NamesImport::Kind kind)
{
    const bool radios = kind == NamesImport::Kind::Radios;
    return QFileDialog::getOpenFileName(parent, radios ? "Choose a Radio ID Name List" : "Choose a TalkGroup Name List",
                                        QString(), "CSV files (*.csv *.CSV);;All files (*)");
}

// A range bound: text that is not a decimal number counts as 0.
int32_t ReadBound(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

// The custom colours are kept in the settings in the picker's hexadecimal form of 0x00BBGGRR;
// the initial "FFFFFFFF" (no colour chosen) shows as white.
QColor CustomColourFromText(const std::string& text)
{
    bool ok = false;
    const qulonglong value = QString::fromStdString(text).toULongLong(&ok, 16);
    if (!ok || value > 0xFFFFFF)
        return QColor(Qt::white);
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

std::string CustomColourText(const QColor& c)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06X", unsigned(c.red() | c.green() << 8 | c.blue() << 16));
    return text;
}

}  // namespace

void TForm1::ConnectDialogButtons()
{
    connect(widgets_.usageButton, &QPushButton::clicked, this, &TForm1::ShowUsageCodes);
    connect(widgets_.addRangeButton, &QPushButton::clicked, this, &TForm1::AddFilterRange);
    connect(widgets_.addRangeAction, &QAction::triggered, this, &TForm1::AddFilterRange);
}

void TForm1::EditTalkgroup(const QString& number)
{
    if (!dialogs_.talkgroupDialog || !Decoder())
        return;
    dialogs_.talkgroupDialog->NumberField()->setText(number);
    if (dialogs_.talkgroupDialog->exec() == QDialog::Accepted) {
        SaveSettingsNow();
        SaveKnownSystem();  // the edit is on disk at once
    }
}

void TForm1::ImportNamesFromCsv(NamesImport::Kind kind)
{
    if (!Decoder())
        return;
    const QString file = ChooseNameList(this, kind);
    if (file.isEmpty())
        return;
    if (NamesImportDialog::Run(this, file, kind, &Decoder()->Talkgroups(), &Decoder()->Radios()) > 0)
        SaveKnownSystem();  // the names are on disk at once, as after the edit dialogs
}

void TForm1::EditRadio(const QString& number)
{
    if (!dialogs_.radioDialog || !Decoder())
        return;
    dialogs_.radioDialog->NumberField()->setText(number);
    if (dialogs_.radioDialog->exec() == QDialog::Accepted) {
        SaveSettingsNow();
        SaveKnownSystem();  // the edit is on disk at once
    }
}

void TForm1::OpenNamesEditor()
{
    if (!dialogs_.namesEditor) {
        NamesEditorServices services;
        services.edit = MainWindowEditServices(*this);
        services.programFolder = [this] { return ProgramFolder(); };
        services.saveDecodedSystem = [this] { return SaveKnownSystem(); };
        dialogs_.namesEditor = new NamesEditor(std::move(services), this);
        NamesEditor* editor = dialogs_.namesEditor;
        editor->importRequested = [this, editor](NamesImport::Kind kind) {
            const QString file = ChooseNameList(editor, kind);
            if (file.isEmpty())
                return;
            editor->BeginOutsideChange(kind);
            NamesImportDialog::Run(editor, file, kind, editor->Talkgroups(), editor->Radios());
            editor->ReloadFromTables();  // one undo step when anything was applied
        };
    }
    NamesEditor* editor = dialogs_.namesEditor;
    if (!editor->isVisible())
        editor->RefreshSystems();
    editor->show();
    editor->raise();
    editor->activateWindow();
}

void TForm1::AddFilterRange()
{
    TAddRangeForm* dialog = dialogs_.addRange;
    if (!dialog || !Decoder())
        return;
    dialog->LowField()->clear();
    dialog->HighField()->clear();
    if (dialog->exec() != QDialog::Accepted || !Decoder())
        return;
    const int32_t low = ReadBound(dialog->LowField()->text());
    const int32_t high = ReadBound(dialog->HighField()->text());
    if (high < low) {
        QMessageBox::warning(this, kRangeErrorTitle, kRangeErrorText, QMessageBox::Ok);
        return;
    }
    Decoder()->Filter().SetFilterRange(true, low, high);
}

void TForm1::ShowUsageCodes()
{
    if (dialogs_.usage)
        dialogs_.usage->exec();
}

bool TForm1::ChooseColour(QColor& colour)
{
    // Made at its first use and kept: the custom colours and the size the user gave it stay.
    if (!colourDialog_) {
        colourDialog_ = new QColorDialog(this);
        colourDialog_->setObjectName(kColourDialogName);
        colourDialog_->setOption(QColorDialog::DontUseNativeDialog);
    }
    QColorDialog* dialog = colourDialog_;
    const int customCount = std::min<int>(QColorDialog::customCount(), int(settings_.customColors.size()));
    for (int i = 0; i < customCount; ++i)
        QColorDialog::setCustomColor(i, CustomColourFromText(settings_.customColors[size_t(i)]));
    dialog->setCurrentColor(colour);
    if (dialog->exec() != QDialog::Accepted)
        return false;
    colour = dialog->selectedColor();
    // Custom colours the user left alone keep their stored text.
    for (int i = 0; i < customCount; ++i) {
        std::string& stored = settings_.customColors[size_t(i)];
        const QColor shown = QColorDialog::customColor(i);
        if (shown.rgb() != CustomColourFromText(stored).rgb())
            stored = CustomColourText(shown);
    }
    return true;
}
