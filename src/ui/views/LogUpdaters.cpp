// Block logs moved from the decoder's pending buffers into their lists: unknown packets
// (ListView7), other events (ListView9), packet dump (ListView12); and the raw lines of the
// session's reader (ListView15).
#include <QCheckBox>
#include <QGroupBox>
#include <QTreeView>
#include <QWidget>

#include "decoder/P25Class.h"
#include "link/TScannerReadThread.h"
#include "persist/LogFormat.h"
#include "persist/Settings.h"
#include "ui/views/ListModel.h"
#include "ui/views/MainWindowWidgets.h"
#include "ui/views/RowColours.h"
#include "ui/views/ScreenScratch.h"
#include "ui/views/ViewHelpers.h"
#include "ui/views/ViewUpdaters.h"

namespace {

constexpr uint8_t kOpcodeMask = 0x3F;
constexpr uint8_t kUnitRegistrationResponse = 0x2C;
constexpr int kRawLinesPerPass = 10;  // a burst of raw data cannot stall the window
constexpr char kRawCaption[] = "Raw Data Dump";

uint8_t Opcode(const BlockLogEntry& e)
{
    return e.block[0] & kOpcodeMask;
}

struct BlockLogView {
    ListRole list;
    LogControls MainWindowWidgets::*controls;
    int cap;
};

// Appends the entries in one batch (a time of 0 empties the list and drops what came before it),
// skipping those `skip` refuses, and trims the oldest rows beyond the cap.
template <class Skip>
void ShowBlockEntries(ScreenContext& c, const BlockLogView& v, const std::vector<BlockLogEntry>& entries, int count,
                      bool withOpcode, Skip skip)
{
    QTreeView* view = c.widgets.List(v.list);
    ListModel* list = ModelOf(view);
    if (!list || count <= 0)
        return;
    const bool follow = screen::BoxChecked((c.widgets.*v.controls).autoScrollBox) && screen::ViewAtEnd(view);
    std::vector<QStringList> rows;
    for (int i = 0; i < count; ++i) {
        const BlockLogEntry& e = entries[static_cast<size_t>(i)];
        if (e.time == 0) {
            rows.clear();
            list->Clear();
            continue;
        }
        if (skip(e))
            continue;
        QStringList cells{screen::TimeText(e.time)};
        if (withOpcode)
            cells << QString::asprintf("%02X", Opcode(e));
        cells << screen::Text(PacketDataText(e.block)) << screen::Text(e.text);
        rows.push_back(std::move(cells));
    }
    list->AppendRows(rows);
    if (list->Count() > v.cap)
        list->RemoveRows(0, list->Count() - v.cap);
    ColourRows(c.widgets, v.list, c.decoder, c.settings);
    if (follow && !rows.empty())
        screen::ScrollToRow(view, list->Count() - 1);
}

bool KeepAll(const BlockLogEntry&)
{
    return false;
}

}  // namespace

void UpdateUnknownPackets(ScreenContext& c)
{
    SystemInfo info;
    if (!CommonStart(c, info))
        return;
    std::vector<UNKTSBK>& buffer = c.scratch.unknowns;
    const int count = c.decoder.Unknowns().CopyUnknownPackets(buffer.data(), static_cast<int>(buffer.size()));
    ShowBlockEntries(c, {ListRole::UnknownPackets, &MainWindowWidgets::unknownPackets, screen::kLogCap}, buffer, count,
                     true, KeepAll);
}

void UpdateEvents(ScreenContext& c)
{
    SystemInfo info;
    if (!CommonStart(c, info))
        return;
    std::vector<EVENTLOG>& buffer = c.scratch.events;
    // A busy lock leaves the entries pending for a later pass.
    const int count = c.decoder.Events().CopyEventLog(buffer.data(), static_cast<int>(buffer.size()), true);
    const bool noRegistrations = screen::BoxChecked(c.widgets.filterRegistrationsBox, c.settings.filterRegistrations);
    ShowBlockEntries(c, {ListRole::OtherEvents, &MainWindowWidgets::otherEvents, screen::kLogCap}, buffer, count, false,
                     [&](const BlockLogEntry& e) { return noRegistrations && Opcode(e) == kUnitRegistrationResponse; });
}

void UpdatePacketDump(ScreenContext& c)
{
    SystemInfo info;
    if (!CommonStart(c, info))
        return;
    std::vector<ALLPKT>& buffer = c.scratch.packetDump;
    const int count = c.decoder.Dump().CopyPacketDump(buffer.data(), static_cast<int>(buffer.size()));
    ShowBlockEntries(c, {ListRole::PacketDump, &MainWindowWidgets::packetDump, screen::kLargeLogCap}, buffer, count,
                     false, KeepAll);
}

void UpdateRawData(ScreenContext& c)
{
    if (!c.settings.psrDump.visible)
        return;
    TScannerReadThread* reader = c.reader ? c.reader() : nullptr;
    ListModel* list = ModelOf(c.widgets.List(ListRole::RawData));
    if (!reader || !list)
        return;
    // Lines the reader had to drop (the source outran the screen) show in the frame's caption.
    if (const uint64_t dropped = reader->RawLinesDropped(); dropped > 0) {
        if (QWidget* view = c.widgets.List(ListRole::RawData))
            if (auto* frame = qobject_cast<QGroupBox*>(view->parentWidget()))
                frame->setTitle(QStringLiteral("%1 (%2 lines dropped)").arg(kRawCaption).arg(dropped));
    }
    std::vector<QStringList> lines;
    if (reader->HasRawLines())
        for (std::string& line : reader->TakeRawLines(kRawLinesPerPass))
            lines.push_back({screen::Text(line)});
    if (lines.empty())
        return;
    const bool follow =
        screen::BoxChecked(c.widgets.rawData.autoScrollBox) && screen::ViewAtEnd(c.widgets.List(ListRole::RawData));
    list->AppendRows(lines);
    if (list->Count() > screen::kLargeLogCap)
        list->RemoveRows(0, list->Count() - screen::kLargeLogCap);
    ColourRows(c.widgets, ListRole::RawData, c.decoder, c.settings);
    if (follow)
        screen::ScrollToRow(c.widgets.List(ListRole::RawData), list->Count() - 1);
}
