#include "ui/dialogs/NamesEditor.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <set>

#include "decoder/P25Class.h"
#include "persist/NamesExport.h"
#include "persist/RadioFile.h"
#include "persist/SystemStore.h"
#include "persist/TalkgroupFile.h"
#include "persist/TalkgroupUseFile.h"
#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"
#include "site/ChannelTable.h"
#include "site/RadioTable.h"
#include "site/TalkgroupTable.h"
#include "ui/dialogs/NamesFilterProxy.h"
#include "ui/dialogs/NamesItemDelegate.h"
#include "ui/dialogs/NamesListModel.h"
#include "ui/views/ColourValue.h"

namespace {

using Kind = NamesImport::Kind;
using Column = NamesListModel::Column;

constexpr size_t kUndoDepth = 100;
// A change of more rows than this reloads the list instead of moving rows one by one.
constexpr size_t kRowByRowLimit = 200;
constexpr uint32_t kMaxSystemId = 0xFFF;

QString SystemName(uint32_t id)
{
    return QStringLiteral("System ") + QString::number(id, 16).toUpper().rightJustified(3, QLatin1Char('0'));
}

QString KindNoun(Kind kind, bool plural)
{
    if (kind == Kind::Talkgroups)
        return plural ? QStringLiteral("talkgroups") : QStringLiteral("Talkgroup");
    return plural ? QStringLiteral("radios") : QStringLiteral("Radio");
}

// "System1A3" folder names: exactly as SystemFolder writes them.
std::optional<uint32_t> FolderSystem(const std::string& name)
{
    constexpr std::string_view kPrefix = "System";
    if (name.size() != kPrefix.size() + 3 || name.compare(0, kPrefix.size(), kPrefix) != 0)
        return std::nullopt;
    uint32_t id = 0;
    for (size_t i = kPrefix.size(); i < name.size(); ++i) {
        const char c = name[i];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        id = id * 16 + static_cast<uint32_t>(digit);
    }
    return id >= 1 && id <= kMaxSystemId ? std::optional<uint32_t>(id) : std::nullopt;
}

int ColumnWidth(Column column)
{
    switch (column) {
    case Column::Number: return 80;
    case Column::Hex: return 64;
    case Column::Description: return 250;
    case Column::Priority: return 58;
    case Column::TextColour:
    case Column::BackColour: return 86;
    case Column::FirstSeen:
    case Column::LastSeen: return 152;
    case Column::Calls: return 60;
    case Column::Airtime: return 78;
    }
    return 80;
}

}  // namespace

NamesEditor::NamesEditor(NamesEditorServices services, QWidget* parent)
    : QWidget(parent, Qt::Window), services_(std::move(services))
{
    setObjectName(QStringLiteral("NamesEditor"));
    setWindowTitle(QString::fromLatin1(kCaption));
    BuildWidgets();
    resize(1120, 600);
}

NamesEditor::~NamesEditor() = default;

void NamesEditor::BuildWidgets()
{
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    systems_ = new QComboBox(this);
    systems_->setObjectName(QStringLiteral("SystemChoice"));
    systems_->setMinimumContentsLength(26);
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("SearchBox"));
    search_->setPlaceholderText(QStringLiteral("Number, hex number or text"));
    search_->setClearButtonEnabled(true);
    top->addWidget(new QLabel(QStringLiteral("System:"), this));
    top->addWidget(systems_);
    top->addSpacing(16);
    top->addWidget(new QLabel(QStringLiteral("Search:"), this));
    top->addWidget(search_, 1);
    layout->addLayout(top);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("ListTabs"));
    tabs_->addTab(BuildView(Kind::Talkgroups), QStringLiteral("Talkgroups"));
    tabs_->addTab(BuildView(Kind::Radios), QStringLiteral("Radios"));
    layout->addWidget(tabs_, 1);

    auto* bottom = new QHBoxLayout;
    auto button = [this, bottom](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        bottom->addWidget(b);
        return b;
    };
    add_ = button("AddButton", QStringLiteral("&Add..."));
    delete_ = button("DeleteButton", QStringLiteral("&Delete"));
    defaultColours_ = button("DefaultColorsButton", QStringLiteral("Default &Colors"));
    undoButton_ = button("UndoButton", QStringLiteral("&Undo"));
    import_ = button("ImportButton", QStringLiteral("&Import..."));
    export_ = button("ExportButton", QStringLiteral("E&xport..."));
    // The lists are copies: while the system is decoded, new entries and times show after this.
    refresh_ = button("RefreshButton", QStringLiteral("Re&fresh"));
    bottom->addStretch(1);
    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("CountsLabel"));
    bottom->addWidget(counts_);
    bottom->addSpacing(16);
    save_ = button("SaveButton", QStringLiteral("&Save"));
    QPushButton* close = button("CloseButton", QStringLiteral("Close"));
    layout->addLayout(bottom);

    connect(systems_, &QComboBox::currentIndexChanged, this, &NamesEditor::SystemPicked);
    // Only the list shown follows the search as it is typed; the other one when its tab is chosen.
    connect(search_, &QLineEdit::textChanged, this, [this] {
        SyncSearch(ShownKind());
        UpdateCounts();
    });
    connect(tabs_, &QTabWidget::currentChanged, this, [this] {
        SyncSearch(ShownKind());
        UpdateCounts();
        UpdateButtons();
    });
    connect(add_, &QPushButton::clicked, this, &NamesEditor::AddPressed);
    connect(delete_, &QPushButton::clicked, this, [this] { DeleteSelected(ShownKind()); });
    connect(defaultColours_, &QPushButton::clicked, this, &NamesEditor::DefaultColoursSelected);
    connect(undoButton_, &QPushButton::clicked, this, &NamesEditor::Undo);
    connect(save_, &QPushButton::clicked, this, &NamesEditor::Save);
    connect(import_, &QPushButton::clicked, this, [this] {
        if (importRequested && TablesUsable())
            importRequested(ShownKind());
    });
    connect(export_, &QPushButton::clicked, this, &NamesEditor::ExportPressed);
    connect(refresh_, &QPushButton::clicked, this, &NamesEditor::ReloadFromTables);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    UpdateButtons();
}

QTableView* NamesEditor::BuildView(Kind kind)
{
    const size_t k = Index(kind);
    models_[k] = new NamesListModel(kind, this);
    models_[k]->commit = [this, kind](const NamesRow& row) { return Commit(kind, row); };
    proxies_[k] = new NamesFilterProxy(*models_[k], this);
    auto* view = new QTableView(this);
    view->setObjectName(kind == Kind::Talkgroups ? QStringLiteral("TalkgroupList") : QStringLiteral("RadioList"));
    view->setModel(proxies_[k]);
    view->setItemDelegate(new NamesItemDelegate(*models_[k], view));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    view->setWordWrap(false);
    // Fixed row heights and no per-row header: the view never measures 100,000 rows.
    view->verticalHeader()->setVisible(false);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view->horizontalHeader()->setStretchLastSection(true);
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);  // id order until a header is clicked
    view->setSortingEnabled(true);
    for (int c = 0; c < models_[k]->columnCount(); ++c)
        view->setColumnWidth(c, ColumnWidth(models_[k]->ColumnAt(c)));
    if (kind == Kind::Radios)
        view->setColumnWidth(models_[k]->ColumnOf(Column::Description), 380);
    connect(view, &QTableView::doubleClicked, this, [this, kind](const QModelIndex& index) {
        const Column c = Model(kind).ColumnAt(index.column());
        if (c == Column::TextColour || c == Column::BackColour)
            ChooseColour(kind, index);
    });
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, &NamesEditor::UpdateButtons);
    views_[k] = view;
    return view;
}

void NamesEditor::SyncSearch(Kind kind)
{
    Proxy(kind).SetSearch(search_->text());
}

NamesEditor::Kind NamesEditor::ShownKind() const
{
    return tabs_->currentIndex() == 1 ? Kind::Radios : Kind::Talkgroups;
}

uint32_t NamesEditor::DefaultText() const
{
    return services_.edit.defaultText ? services_.edit.defaultText() : 0;
}

uint32_t NamesEditor::DefaultBack() const
{
    return services_.edit.defaultBackground ? services_.edit.defaultBackground() : 0xFFFFFF;
}

// ---------------------------------------------------------------- choosing a system

void NamesEditor::RefreshSystems()
{
    std::set<uint32_t> onDisk;
    const std::string folder = services_.programFolder ? services_.programFolder() : std::string();
    std::error_code ec;
    if (!folder.empty()) {
        for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            if (const auto id = FolderSystem(it->path().filename().string()); id && it->is_directory(ec))
                onDisk.insert(*id);
        }
    }
    P25Class* decoder = services_.edit.decoder ? services_.edit.decoder() : nullptr;
    const uint32_t decoded = decoder ? decoder->GetSystemId() : 0;

    choosing_ = true;
    systems_->clear();
    if (decoded != 0)
        systems_->addItem(SystemName(decoded) + QStringLiteral(" (being decoded)"), decoded);
    for (uint32_t id : onDisk)
        if (id != decoded)
            systems_->addItem(SystemName(id), id);
    choosing_ = false;

    // The system shown stays when it is still offered; else the first one.
    int index = system_ ? systems_->findData(*system_) : -1;
    if (system_ && index >= 0 && live_ == (*system_ == decoded)) {
        choosing_ = true;
        systems_->setCurrentIndex(index);
        choosing_ = false;
        return;
    }
    if (systems_->count() > 0)
        ChooseSystem(systems_->itemData(0).toUInt());
}

void NamesEditor::SystemPicked(int index)
{
    if (choosing_ || index < 0)
        return;
    const uint32_t id = systems_->itemData(index).toUInt();
    if (!ChooseSystem(id) && system_) {
        choosing_ = true;
        systems_->setCurrentIndex(systems_->findData(*system_));
        choosing_ = false;
    }
}

bool NamesEditor::ChooseSystem(uint32_t systemId)
{
    if (systemId < 1 || systemId > kMaxSystemId || !ConfirmLeave())
        return false;
    P25Class* decoder = services_.edit.decoder ? services_.edit.decoder() : nullptr;
    const std::string programFolder = services_.programFolder ? services_.programFolder() : std::string();
    live_ = decoder && decoder->GetSystemId() == systemId;
    folder_ = SystemFolder(programFolder, systemId);
    unreadable_ = {};
    QStringList problems;
    if (live_) {
        talkgroups_ = &decoder->Talkgroups();
        radios_ = &decoder->Radios();
    } else {
        if (!ownTalkgroups_) {
            ownTalkgroups_ = std::make_unique<TalkgroupTable>(ownContext_);
            ownRadios_ = std::make_unique<RadioTable>(ownContext_);
        }
        ownTalkgroups_->ClearTalkgroups();
        ownRadios_->ClearRadios();
        talkgroups_ = ownTalkgroups_.get();
        radios_ = ownRadios_.get();
        const RegularFileRead tg = TalkgroupFile::Load(folder_ + TalkgroupFile::kFileName, *talkgroups_);
        const RegularFileRead radios = RadioFile::Load(folder_ + RadioFile::kFileName, *radios_);
        // The calls and airtime shown beside the talkgroups; the editor never writes this file.
        if (!tg.Failed())
            TalkgroupUseFile::Load(folder_ + TalkgroupUseFile::kFileName, *talkgroups_);
        const std::pair<const RegularFileRead*, const char*> files[] = {{&tg, TalkgroupFile::kFileName},
                                                                        {&radios, RadioFile::kFileName}};
        for (size_t k = 0; k < 2; ++k) {
            if (!files[k].first->Failed())
                continue;
            unreadable_[k] = QString::fromStdString(files[k].first->reason);
            problems << QStringLiteral("%1 cannot be read (%2); it is kept as it is and not saved over.")
                            .arg(QString::fromStdString(folder_ + files[k].second), unreadable_[k]);
        }
    }
    system_ = systemId;
    dirty_ = {};
    undo_.clear();
    outsidePending_ = {};
    for (size_t k = 0; k < 2; ++k) {
        models_[k]->SetDefaultColours(DefaultText(), DefaultBack());
        models_[k]->SetRows(ReadRows(k == 0 ? Kind::Talkgroups : Kind::Radios));
    }
    choosing_ = true;
    systems_->setCurrentIndex(systems_->findData(systemId));
    choosing_ = false;
    UpdateCounts();
    UpdateButtons();
    if (!problems.isEmpty())
        ShowProblem(problems.join(QLatin1Char('\n')));
    return true;
}

bool NamesEditor::ConfirmLeave()
{
    if (!HasUnsavedChanges())
        return true;
    const QString where = system_ ? SystemName(*system_) : QString();
    const auto answer =
        QMessageBox::question(this, QString::fromLatin1(kCaption),
                              QStringLiteral("The lists of %1 have changes that are not saved. Save them?").arg(where),
                              QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::Save)
        return Save();
    // Discarded: the decoder's tables are live, so what was changed in them is taken back.
    while (live_ && !undo_.empty() && Undo()) { }
    dirty_ = {};
    undo_.clear();
    return true;
}

bool NamesEditor::TablesUsable()
{
    if (!talkgroups_ || !system_)
        return false;
    P25Class* decoder = services_.edit.decoder ? services_.edit.decoder() : nullptr;
    const bool decoded = decoder && decoder->GetSystemId() == *system_;
    if (!live_ && decoded) {
        // The decoder has read the files meanwhile and writes them from its own tables: a change
        // made to the editor's copy would be overwritten by the next save of the session.
        ShowProblem(QStringLiteral("%1 is being decoded now and the decoder keeps its files; choose \"%1 (being "
                                   "decoded)\" in the system list and make the changes there.")
                        .arg(SystemName(*system_)));
        return false;
    }
    if (!live_ || (decoded && &decoder->Talkgroups() == talkgroups_))
        return true;
    ShowProblem(
        QStringLiteral("%1 is no longer being decoded; choose it again to edit its files.").arg(SystemName(*system_)));
    return false;
}

// ---------------------------------------------------------------- the tables

std::vector<NamesRow> NamesEditor::ReadRows(Kind kind)
{
    if (!talkgroups_)
        return {};
    return kind == Kind::Talkgroups ? names_rows::ReadAll(*talkgroups_) : names_rows::ReadAll(*radios_);
}

bool NamesEditor::FindRow(Kind kind, int32_t id, NamesRow& row)
{
    return kind == Kind::Talkgroups ? names_rows::Find(*talkgroups_, id, row) : names_rows::Find(*radios_, id, row);
}

void NamesEditor::WriteRow(Kind kind, const NamesRow& row)
{
    if (kind == Kind::Talkgroups)
        names_rows::Write(*talkgroups_, row);
    else
        names_rows::Write(*radios_, row);
    NotifyViews(kind, row.id);
}

void NamesEditor::RemoveRow(Kind kind, int32_t id)
{
    if (kind == Kind::Talkgroups)
        talkgroups_->RemoveTalkgroup(id);
    else
        radios_->RemoveRadio(id);
    NotifyViews(kind, id);
}

void NamesEditor::NotifyViews(Kind kind, int32_t id)
{
    P25Class* decoder = live_ && services_.edit.decoder ? services_.edit.decoder() : nullptr;
    if (!decoder)
        return;
    // The activity keeps a talkgroup's name on the channel line from the grant on; radio names
    // are looked up at each refresh, so a refresh is enough for them.
    if (kind == Kind::Talkgroups)
        decoder->Channels().RefreshTalkgroupName(id);
    else
        decoder->Channels().MarkChanged();
}

bool NamesEditor::Commit(Kind kind, const NamesRow& row)
{
    if (!TablesUsable())
        return false;
    NamesRow before;
    UndoStep step{kind, {}, {}};
    NamesRow written = row;
    if (FindRow(kind, row.id, before)) {
        // An edit is no sighting: the times stay as the table has them now.
        written.firstSeen = before.firstSeen;
        written.lastSeen = before.lastSeen;
        step.before.push_back(before);
    } else {
        step.added.push_back(row.id);
    }
    WriteRow(kind, written);
    NamesRow stored;
    if (FindRow(kind, row.id, stored))
        Model(kind).PutRow(stored);
    Changed(kind, std::move(step));
    return true;
}

void NamesEditor::Changed(Kind kind, UndoStep step)
{
    if (step.before.empty() && step.added.empty())
        return;
    undo_.push_back(std::move(step));
    if (undo_.size() > kUndoDepth)
        undo_.erase(undo_.begin());
    dirty_[Index(kind)] = true;
    UpdateCounts();
    UpdateButtons();
}

bool NamesEditor::AddEntry(Kind kind, int64_t number, QString* refusal)
{
    auto refuse = [refusal](const QString& why) {
        if (refusal)
            *refusal = why;
        return false;
    };
    if (!TablesUsable())
        return refuse(QStringLiteral("No system is shown."));
    const int32_t max = names_rows::MaxId(kind);
    if (number < 1 || number > max)
        return refuse(kind == Kind::Talkgroups ? QStringLiteral("Talkgroup numbers run from 1 to 65535.")
                                               : QStringLiteral("Radio IDs run from 1 to 16777215."));
    const int32_t id = static_cast<int32_t>(number);
    NamesRow existing;
    if (FindRow(kind, id, existing))
        return refuse(QStringLiteral("%1 %2 is already in the list.").arg(KindNoun(kind, false)).arg(id));
    const bool added =
        kind == Kind::Talkgroups ? talkgroups_->SetTalkgroup(id, "", 255, 0) : radios_->SetRadio(id, "", 0);
    NamesRow row;
    if (!added || !FindRow(kind, id, row))
        return refuse(QStringLiteral("The list is full."));
    NotifyViews(kind, id);
    Model(kind).PutRow(row);
    Changed(kind, UndoStep{kind, {}, {id}});
    return true;
}

int NamesEditor::DeleteSelected(Kind kind)
{
    QTableView* view = View(kind);
    std::vector<int32_t> ids;
    for (const QModelIndex& index : view->selectionModel()->selectedRows())
        ids.push_back(Model(kind).Row(Proxy(kind).mapToSource(index).row()).id);
    if (ids.empty() || !TablesUsable())
        return 0;
    UndoStep step{kind, {}, {}};
    for (int32_t id : ids) {
        NamesRow before;
        if (!FindRow(kind, id, before))
            continue;
        RemoveRow(kind, id);
        step.before.push_back(before);
    }
    if (ids.size() > kRowByRowLimit) {
        Model(kind).SetRows(ReadRows(kind));
    } else {
        for (int32_t id : ids)
            Model(kind).RemoveId(id);
    }
    const int removed = static_cast<int>(step.before.size());
    Changed(kind, std::move(step));
    return removed;
}

bool NamesEditor::Undo()
{
    if (undo_.empty() || !TablesUsable())
        return false;
    const UndoStep step = std::move(undo_.back());
    undo_.pop_back();
    for (int32_t id : step.added)
        RemoveRow(step.kind, id);
    // Every field a change can touch is written back; the decoder's use counts stay.
    for (const NamesRow& row : step.before)
        WriteRow(step.kind, row);
    NamesListModel& model = Model(step.kind);
    if (step.added.size() + step.before.size() > kRowByRowLimit) {
        model.SetRows(ReadRows(step.kind));
    } else {
        for (int32_t id : step.added)
            model.RemoveId(id);
        for (const NamesRow& row : step.before) {
            NamesRow stored;
            if (FindRow(step.kind, row.id, stored))
                model.PutRow(stored);
        }
    }
    dirty_[Index(step.kind)] = true;
    UpdateCounts();
    UpdateButtons();
    return true;
}

bool NamesEditor::SetColours(Kind kind, int32_t id, uint32_t text, uint32_t back)
{
    const int pos = Model(kind).RowOf(id);
    if (pos < 0)
        return false;
    NamesRow row = Model(kind).Row(pos);
    row.textColor = text;
    row.backColor = back;
    if (row.SameEntry(Model(kind).Row(pos)))
        return true;
    return Commit(kind, row);
}

void NamesEditor::ChooseColour(Kind kind, const QModelIndex& proxyIndex)
{
    if (!services_.edit.chooseColour)
        return;
    const NamesRow& row = Model(kind).Row(Proxy(kind).mapToSource(proxyIndex).row());
    const bool background = Model(kind).ColumnAt(proxyIndex.column()) == Column::BackColour;
    uint32_t text = 0, back = 0;
    Model(kind).ShownColours(row, text, back);  // no colours of its own: start from the defaults
    QColor colour = ToQColor(background ? back : text);
    if (!services_.edit.chooseColour(colour))
        return;
    (background ? back : text) = FromQColor(colour);
    // The default pair is stored as "no colours of its own", so the entry follows later changes
    // of the defaults (the edit dialogs' rule).
    if (text == DefaultText() && back == DefaultBack())
        text = back = 0;
    SetColours(kind, row.id, text, back);
}

void NamesEditor::DefaultColoursSelected()
{
    const Kind kind = ShownKind();
    std::vector<int32_t> ids;
    for (const QModelIndex& index : View(kind)->selectionModel()->selectedRows())
        ids.push_back(Model(kind).Row(Proxy(kind).mapToSource(index).row()).id);
    if (ids.empty() || !TablesUsable())
        return;
    UndoStep step{kind, {}, {}};
    for (int32_t id : ids) {
        NamesRow row;
        if (!FindRow(kind, id, row) || row.textColor == row.backColor)
            continue;
        step.before.push_back(row);
        row.textColor = row.backColor = 0;
        WriteRow(kind, row);
        NamesRow stored;
        if (FindRow(kind, id, stored))
            Model(kind).PutRow(stored);
    }
    Changed(kind, std::move(step));
}

// ---------------------------------------------------------------- outside changes (import)

void NamesEditor::BeginOutsideChange(Kind kind)
{
    if (!talkgroups_)
        return;
    outsideBefore_[Index(kind)] = ReadRows(kind);
    outsidePending_[Index(kind)] = true;
}

void NamesEditor::ReloadFromTables()
{
    if (!talkgroups_)
        return;
    for (Kind kind : {Kind::Talkgroups, Kind::Radios}) {
        const size_t k = Index(kind);
        std::vector<NamesRow> rows = ReadRows(kind);
        if (outsidePending_[k]) {
            // The step holds every entry the change touched: changed or removed ones as they were,
            // new ones to be removed again.
            UndoStep step{kind, {}, {}};
            std::map<int32_t, const NamesRow*> now;
            for (const NamesRow& r : rows)
                now.emplace(r.id, &r);
            for (const NamesRow& r : outsideBefore_[k]) {
                const auto it = now.find(r.id);
                if (it == now.end() || !it->second->SameEntry(r))
                    step.before.push_back(r);
                if (it != now.end())
                    now.erase(it);
            }
            for (const auto& [id, row] : now)
                step.added.push_back(id);
            outsideBefore_[k].clear();
            outsidePending_[k] = false;
            for (const NamesRow& r : step.before)
                NotifyViews(kind, r.id);
            for (int32_t id : step.added)
                NotifyViews(kind, id);
            Changed(kind, std::move(step));
        }
        Model(kind).SetRows(std::move(rows));
    }
    UpdateCounts();
}

// ---------------------------------------------------------------- save and export

bool NamesEditor::Save()
{
    if (!HasUnsavedChanges())
        return true;
    if (!TablesUsable())
        return false;
    if (live_) {
        if (services_.saveDecodedSystem && services_.saveDecodedSystem()) {
            dirty_ = {};
            UpdateButtons();
            return true;
        }
        ShowProblem(QStringLiteral("The files of %1 could not be written; they keep what they held before and the "
                                   "changes stay in the decoder. The status line of the main window tells why.")
                        .arg(SystemName(*system_)));
        return false;
    }
    QStringList problems;
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    for (Kind kind : {Kind::Talkgroups, Kind::Radios}) {
        const size_t k = Index(kind);
        if (!dirty_[k])
            continue;
        const std::string path = folder_ + (kind == Kind::Talkgroups ? TalkgroupFile::kFileName : RadioFile::kFileName);
        if (!unreadable_[k].isEmpty()) {
            problems << QStringLiteral("%1 could not be read when the system was opened (%2); it is not saved over.")
                            .arg(QString::fromStdString(path), unreadable_[k]);
            continue;
        }
        const std::string text =
            kind == Kind::Talkgroups ? TalkgroupFile::Format(*talkgroups_) : RadioFile::Format(*radios_);
        if (!WriteFileAtomically(path, text)) {
            problems << QStringLiteral("%1 could not be written (%2); it keeps what it held before.")
                            .arg(QString::fromStdString(path), QString::fromStdString(ErrorText(errno)));
            continue;
        }
        dirty_[k] = false;
    }
    UpdateButtons();
    if (!problems.isEmpty()) {
        ShowProblem(problems.join(QLatin1Char('\n')));
        return false;
    }
    return true;
}

bool NamesEditor::ExportVisible(Kind kind, const QString& path, QString* error)
{
    if (!talkgroups_)
        return false;
    SyncSearch(kind);
    std::vector<int32_t> ids;
    const NamesFilterProxy& proxy = Proxy(kind);
    ids.reserve(static_cast<size_t>(proxy.rowCount()));
    for (int r = 0; r < proxy.rowCount(); ++r)
        ids.push_back(Model(kind).Row(proxy.mapToSource(proxy.index(r, 0)).row()).id);
    const std::string text =
        kind == Kind::Talkgroups ? NamesExport::Talkgroups(*talkgroups_, ids) : NamesExport::Radios(*radios_, ids);
    if (WriteFileAtomically(path.toStdString(), text))
        return true;
    if (error)
        *error = QStringLiteral("%1 could not be written (%2).").arg(path, QString::fromStdString(ErrorText(errno)));
    return false;
}

// ---------------------------------------------------------------- buttons

void NamesEditor::AddPressed()
{
    const Kind kind = ShownKind();
    const QString label = kind == Kind::Talkgroups ? QStringLiteral("Talkgroup number (1 to 65535):")
                                                   : QStringLiteral("Radio ID (1 to 16777215):");
    bool ok = false;
    const QString text = QInputDialog::getText(this, QStringLiteral("Add ") + KindNoun(kind, false), label,
                                               QLineEdit::Normal, QString(), &ok)
                             .trimmed();
    if (!ok || text.isEmpty())
        return;
    bool isNumber = false;
    const qlonglong number = text.toLongLong(&isNumber, 10);
    QString refusal;
    if (!isNumber)
        refusal = QStringLiteral("\"%1\" is not a decimal number.").arg(text);
    else if (AddEntry(kind, number, &refusal)) {
        const int row = Model(kind).RowOf(static_cast<int32_t>(number));
        const QModelIndex index =
            Proxy(kind).mapFromSource(Model(kind).index(row, Model(kind).ColumnOf(Column::Description)));
        if (index.isValid()) {
            View(kind)->scrollTo(index);
            View(kind)->setCurrentIndex(index);
            View(kind)->edit(index);
        }
        return;
    }
    ShowProblem(refusal);
}

void NamesEditor::ExportPressed()
{
    const Kind kind = ShownKind();
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export ") + KindNoun(kind, true),
                                                      QString::fromStdString(folder_) + KindNoun(kind, true) + ".csv",
                                                      QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!ExportVisible(kind, path, &error))
        ShowProblem(error);
}

void NamesEditor::UpdateCounts()
{
    const Kind kind = ShownKind();
    const int all = Model(kind).rowCount();
    const int shown = Proxy(kind).rowCount();
    QString text = shown == all ? QStringLiteral("%1 %2").arg(all).arg(KindNoun(kind, true))
                                : QStringLiteral("%1 of %2 %3 shown").arg(shown).arg(all).arg(KindNoun(kind, true));
    if (HasUnsavedChanges())
        text += QStringLiteral(" (not saved)");
    counts_->setText(text);
}

void NamesEditor::UpdateButtons()
{
    const bool shown = talkgroups_ != nullptr;
    const bool selected = shown && View(ShownKind())->selectionModel()->hasSelection();
    add_->setEnabled(shown);
    delete_->setEnabled(selected);
    defaultColours_->setEnabled(selected);
    undoButton_->setEnabled(!undo_.empty());
    import_->setEnabled(shown);
    export_->setEnabled(shown);
    refresh_->setEnabled(shown);
    save_->setEnabled(HasUnsavedChanges());
    UpdateCounts();
}

void NamesEditor::ShowProblem(const QString& text)
{
    QMessageBox::warning(this, QString::fromLatin1(kCaption), text);
}

void NamesEditor::closeEvent(QCloseEvent* event)
{
    if (!ConfirmLeave()) {
        event->ignore();
        return;
    }
    // The next opening reads the system afresh.
    system_.reset();
    talkgroups_ = nullptr;
    radios_ = nullptr;
    for (NamesListModel* model : models_)
        model->SetRows({});
    event->accept();
}
