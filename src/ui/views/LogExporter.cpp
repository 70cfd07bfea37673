#include "ui/views/LogExporter.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

#include "decoder/P25Class.h"
#include "persist/Settings.h"
#include "platform/Clock.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/mainwindow/Mainwindow.h"
#include "ui/views/ListModel.h"

using namespace ui_names;

namespace {

struct LogView {
    LogKind kind;
    const char* list;
    const char* save;
    const char* clear;
    const char* autoSave;
    // Whether the minute timer may save this log besides its box being checked.
    bool (*autoSaveAllowed)(const Settings&);
};

bool Always(const Settings&)
{
    return true;
}

// In the order of the minute timer's saves.
const LogView kLogViews[] = {
    {LogKind::Dump, kListPacketDump, kDumpSave, kDumpClear, kDumpAutoSave,
     [](const Settings& s) { return s.pktDump.visible; }},
    {LogKind::UnknownPackets, kListUnknown, kUnknownSave, kUnknownClear, kUnknownAutoSave,
     [](const Settings& s) { return s.unknowns.visible; }},
    {LogKind::Grants, kListGrantTrace, kGrantsSave, kGrantsClear, kGrantsAutoSave,
     [](const Settings& s) { return s.grants.visible; }},
    {LogKind::Events, kListOtherEvents, kEventsSave, kEventsClear, kEventsAutoSave,
     [](const Settings& s) { return s.otherInfo.visible; }},
    {LogKind::Patches, kListPatchLog, kPatchLogSave, kPatchLogClear, kPatchLogAutoSave, Always},
    {LogKind::Affiliations, kListAffLog, kAffLogSave, kAffLogClear, kAffLogAutoSave, Always},
    {LogKind::RawData, kListRawData, kRawSave, kRawClear, kRawAutoSave,
     [](const Settings& s) { return s.psrDump.visible; }},
};

const LogView& ViewOf(LogKind kind)
{
    for (const LogView& v : kLogViews)
        if (v.kind == kind)
            return v;
    return kLogViews[0];
}

// Keeps a button disabled while its command runs, so a second press cannot start it again.
class DisabledWhileRunning {
public:
    explicit DisabledWhileRunning(QPushButton* button) : button_(button)
    {
        if (button_)
            button_->setEnabled(false);
    }
    ~DisabledWhileRunning()
    {
        if (button_)
            button_->setEnabled(true);
    }
    DisabledWhileRunning(const DisabledWhileRunning&) = delete;
    DisabledWhileRunning& operator=(const DisabledWhileRunning&) = delete;

private:
    QPushButton* button_;
};

LogCells CellsOf(const ListModel::Row& row)
{
    LogCells cells;
    cells.reserve(static_cast<size_t>(row.cells.size()));
    for (const QString& cell : row.cells)
        cells.push_back(cell.toStdString());
    return cells;
}

}  // namespace

LogExporter::LogExporter(TForm1& window) : QObject(&window), window_(window)
{
    setObjectName("LogExporter");
}

void LogExporter::WireButtons()
{
    for (const LogView& v : kLogViews) {
        const LogKind kind = v.kind;
        if (auto* save = window_.findChild<QPushButton*>(v.save))
            connect(save, &QPushButton::clicked, this, [this, kind] { Save(kind); });
        if (auto* clear = window_.findChild<QPushButton*>(v.clear))
            connect(clear, &QPushButton::clicked, this, [this, kind] { Clear(kind); });
    }
}

void LogExporter::Save(LogKind kind)
{
    const Settings& settings = window_.AppSettings();
    if (kind == LogKind::RawData && !settings.psrDump.visible)
        return;
    const LogView& v = ViewOf(kind);
    DisabledWhileRunning busy(window_.findChild<QPushButton*>(v.save));
    ListModel* model = FindListModel(&window_, v.list);
    P25Class* decoder = window_.Decoder();
    if (!model || !decoder)
        return;

    std::vector<int> unsaved;
    for (int row = 0; row < model->Count(); ++row)
        if (!model->Saved(row))
            unsaved.push_back(row);
    if (unsaved.empty())
        return;  // no file is opened

    SystemInfo info;
    decoder->CopySystemInfo(info);
    const std::string path =
        LogFilePath(window_.ProgramFolder(), info, kind, settings.includeDate, window_.WallClock().Now());
    if (path.empty())
        return;  // no system known yet: the rows wait for a later save

    std::string lines;
    for (int row : unsaved)
        lines += LogRowLine(kind, CellsOf(model->RowAt(row)));
    // Marked only once they are in the file: a failed write leaves them for the next save.
    if (!AppendToLogFile(path, LogHeaderLine(kind), lines))
        return;
    for (int row : unsaved)
        model->SetSaved(row, true);
    emit LogSaved(QString::fromStdString(path));
}

void LogExporter::Clear(LogKind kind)
{
    const LogView& v = ViewOf(kind);
    DisabledWhileRunning busy(window_.findChild<QPushButton*>(v.clear));
    // The raw data is cleared without asking.
    if (kind != LogKind::RawData && window_.AppSettings().confirmations &&
        QMessageBox::question(&window_, kClearTitle, kClearQuestion, QMessageBox::Yes | QMessageBox::No) !=
            QMessageBox::Yes)
        return;
    if (kind == LogKind::UnknownPackets) {
        // The decoder's pending unknown packets go too: its clear marker empties the view when the
        // updater takes it.
        if (P25Class* decoder = window_.Decoder())
            decoder->Unknowns().ClearUnknownPackets();
        return;
    }
    if (ListModel* model = FindListModel(&window_, v.list))
        model->Clear();
}

void LogExporter::RunAutoSaves()
{
    const Settings& settings = window_.AppSettings();
    for (const LogView& v : kLogViews) {
        auto* box = window_.findChild<QCheckBox*>(v.autoSave);
        if (box && box->isChecked() && v.autoSaveAllowed(settings))
            Save(v.kind);
    }
}
