#include "ui/views/LogExporter.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>

#include <vector>

#include "decoder/P25Class.h"
#include "persist/Settings.h"
#include "platform/Clock.h"
#include "ui/mainwindow/Mainwindow.h"
#include "ui/views/ListModel.h"

namespace {

struct LogView {
    LogKind kind;
    ListRole list;
    LogControls MainWindowWidgets::*controls;
    // Whether the minute timer may save this log besides its box being checked.
    bool (*autoSaveAllowed)(const Settings&);
};

bool Always(const Settings&)
{
    return true;
}

// In the order of the minute timer's saves.
const LogView kLogViews[] = {
    {LogKind::Dump, ListRole::PacketDump, &MainWindowWidgets::packetDump,
     [](const Settings& s) { return s.pktDump.visible; }},
    {LogKind::UnknownPackets, ListRole::UnknownPackets, &MainWindowWidgets::unknownPackets,
     [](const Settings& s) { return s.unknowns.visible; }},
    {LogKind::Grants, ListRole::GrantTrace, &MainWindowWidgets::grantTrace,
     [](const Settings& s) { return s.grants.visible; }},
    {LogKind::Events, ListRole::OtherEvents, &MainWindowWidgets::otherEvents,
     [](const Settings& s) { return s.otherInfo.visible; }},
    {LogKind::Patches, ListRole::PatchLog, &MainWindowWidgets::patchLog, Always},
    {LogKind::Affiliations, ListRole::AffiliationLog, &MainWindowWidgets::affiliationLog, Always},
    {LogKind::RawData, ListRole::RawData, &MainWindowWidgets::rawData,
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

int UnsavedRows(const ListModel& model)
{
    int count = 0;
    for (int row = 0; row < model.Count(); ++row)
        if (!model.Saved(row))
            ++count;
    return count;
}

QString RowsText(int rows)
{
    return rows == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(rows);
}

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
        const LogControls& controls = window_.Widgets().*v.controls;
        if (controls.saveButton)
            connect(controls.saveButton, &QPushButton::clicked, this, [this, kind] { SaveAndTell(kind); });
        if (controls.clearButton)
            connect(controls.clearButton, &QPushButton::clicked, this, [this, kind] { Clear(kind); });
    }
}

LogExporter::SaveResult LogExporter::Save(LogKind kind)
{
    SaveResult result;
    const Settings& settings = window_.AppSettings();
    if (kind == LogKind::RawData && !settings.psrDump.visible)
        return result;
    const LogView& v = ViewOf(kind);
    DisabledWhileRunning busy((window_.Widgets().*v.controls).saveButton);
    ListModel* model = ModelOf(window_.Widgets().List(v.list));
    P25Class* decoder = window_.Decoder();
    if (!model || !decoder)
        return result;

    std::vector<int> unsaved;
    for (int row = 0; row < model->Count(); ++row)
        if (!model->Saved(row))
            unsaved.push_back(row);
    if (unsaved.empty())
        return result;  // no file is opened

    SystemInfo info;
    decoder->CopySystemInfo(info);
    const std::string path =
        LogFilePath(window_.ProgramFolder(), info, kind, settings.includeDate, window_.WallClock().Now());
    if (path.empty())
        return result;  // no system known yet: the rows wait for a later save
    result.path = QString::fromStdString(path);

    std::string lines;
    for (int row : unsaved)
        lines += LogRowLine(kind, CellsOf(model->RowAt(row)));
    // Marked only once they are in the file: a failed write leaves them for the next save.
    if (!AppendToLogFile(path, LogHeaderLine(kind), lines)) {
        result.failed = true;
        return result;
    }
    for (int row : unsaved)
        model->SetSaved(row, true);
    result.rows = static_cast<int>(unsaved.size());
    emit LogSaved(result.path);
    return result;
}

void LogExporter::SaveAndTell(LogKind kind)
{
    const SaveResult r = Save(kind);
    QString text;
    if (r.rows > 0)
        text = QStringLiteral("%1 saved to %2").arg(RowsText(r.rows), r.path);
    else if (r.failed)
        text = QStringLiteral("Not saved: %1 could not be written").arg(r.path);
    else if (const ListModel* model = ModelOf(window_.Widgets().List(ViewOf(kind).list));
             model && UnsavedRows(*model) > 0)
        text = QStringLiteral("Not saved yet: no system decoded, the rows stay unsaved");
    else
        text = QStringLiteral("Nothing to save: every row is in the file already");
    window_.ShowNote(text);
}

void LogExporter::Clear(LogKind kind)
{
    const LogView& v = ViewOf(kind);
    DisabledWhileRunning busy((window_.Widgets().*v.controls).clearButton);
    ListModel* model = ModelOf(window_.Widgets().List(v.list));
    const int unsaved = model ? UnsavedRows(*model) : 0;
    const auto ask = [this](const QString& question) {
        return QMessageBox::question(&window_, kClearTitle, question, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    // Rows that never reached a file are the log's only copy: their clear is always asked.
    // Otherwise the raw data is cleared without asking, the others when confirmations are on.
    if (unsaved > 0) {
        if (!ask(QString::fromLatin1(kUnsavedQuestion).arg(RowsText(unsaved))))
            return;
    } else if (kind != LogKind::RawData && window_.AppSettings().confirmations && !ask(kClearQuestion)) {
        return;
    }
    if (kind == LogKind::UnknownPackets) {
        // The decoder's pending unknown packets go too: its clear marker empties the view when the
        // updater takes it.
        if (P25Class* decoder = window_.Decoder())
            decoder->Unknowns().ClearUnknownPackets();
        return;
    }
    if (model)
        model->Clear();
}

void LogExporter::RunAutoSaves()
{
    const Settings& settings = window_.AppSettings();
    for (const LogView& v : kLogViews) {
        const QCheckBox* box = (window_.Widgets().*v.controls).autoSaveBox;
        if (box && box->isChecked() && v.autoSaveAllowed(settings))
            Save(v.kind);
    }
}
