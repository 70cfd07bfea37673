// The talkgroup and radio list editor: systems on disk (real files in the temporary program
// folder) and the system being decoded (the demo capture), searched, edited in place, added to,
// deleted from, undone, saved and exported.
#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "DemoScannerRig.h"
#include "MainWindowFixture.h"
#include "decoder/P25Class.h"
#include "persist/RadioFile.h"
#include "persist/SystemStore.h"
#include "persist/TalkgroupFile.h"
#include "persist/TalkgroupUseFile.h"
#include "platform/AtomicFile.h"
#include "platform/NamedLock.h"
#include "site/DecoderContext.h"
#include "site/RadioTable.h"
#include "site/TalkgroupTable.h"
#include "ui/dialogs/NamesEditor.h"
#include "ui/dialogs/NamesFilterProxy.h"
#include "ui/dialogs/NamesListModel.h"
#include "ui/views/ListModel.h"

using namespace uitest;

namespace {

using Kind = NamesEditor::Kind;
using Column = NamesListModel::Column;

constexpr uint32_t kSystem = 0x2B7;
constexpr uint32_t kDefaultText = 0x112233;
constexpr uint32_t kDefaultBack = 0xEEDDCC;
constexpr int64_t kSeen = 1240322820;

struct Entry {
    int32_t id;
    const char* name;
    int priority;
    uint32_t text;
    uint32_t back;
};

// Talkgroup 4660 is 0x1234; talkgroup 256 is 0x100.
const Entry kTalkgroups[] = {
    {100, "Fire Dispatch", 3, 0x0000FF, 0xFFFFFF},
    {256, "Police North", 10, 0, 0},
    {1000, "fire ground 2", 50, 0, 0},
    {4660, "EMS", 20, 0x00FF00, 0x000000},
};
const Entry kRadios[] = {
    {7, "Engine 7", 0, 0, 0},
    {1234567, "Dispatcher desk", 0, 0xFF0000, 0xFFFFFF},
};

class NamesEditorTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        settings.defaultText = kDefaultText;
        settings.defaultBackground = kDefaultBack;
        WriteSystem(kSystem);
    }
    void TearDown() override
    {
        if (NamesEditor* e = Editor())
            e->hide();  // a test that left changes does not wait for an answer
        MainWindowFixture::TearDown();
        if (scanner)
            scanner->Close();
    }

    std::string SystemDir(uint32_t id) { return SystemFolder(Folder(), id); }

    // The files of a system as the program writes them.
    void WriteSystem(uint32_t id)
    {
        DecoderContext ctx;
        TalkgroupTable tg(ctx);
        RadioTable radios(ctx);
        for (const Entry& e : kTalkgroups) {
            tg.SetTalkgroup(e.id, e.name, e.priority, kSeen + e.id);
            tg.SetTalkgroupColors(e.id, e.text, e.back);
            tg.SetTalkgroupFirstSeen(e.id, kSeen - 86400 * 30);
        }
        for (const Entry& e : kRadios) {
            radios.SetRadio(e.id, e.name, kSeen + e.id);
            radios.SetRadioColors(e.id, e.text, e.back);
        }
        std::filesystem::create_directories(SystemDir(id));
        ASSERT_TRUE(WriteFileAtomically(SystemDir(id) + TalkgroupFile::kFileName, TalkgroupFile::Format(tg)));
        ASSERT_TRUE(WriteFileAtomically(SystemDir(id) + RadioFile::kFileName, RadioFile::Format(radios)));
        tg.AddTalkgroupUse(4660, 12, 345);  // the calls heard on EMS, in their file of their own
        ASSERT_TRUE(WriteFileAtomically(SystemDir(id) + TalkgroupUseFile::kFileName, TalkgroupUseFile::Format(tg)));
    }

    // Opens the editor through its menu command on the given system.
    NamesEditor& Open(uint32_t system = kSystem)
    {
        if (!window)
            MakeWindow();
        QAction* item = window->findChild<QAction*>(QString::fromLatin1(ui_names::kActNamesEditor));
        EXPECT_NE(item, nullptr);
        if (item)
            item->trigger();
        NamesEditor* editor = Editor();
        EXPECT_NE(editor, nullptr);
        EXPECT_TRUE(editor->isVisible());
        if (editor->ShownSystem() != system) {
            EXPECT_TRUE(editor->ChooseSystem(system));
        }
        QCoreApplication::processEvents();
        return *editor;
    }

    NamesEditor* Editor() { return window ? window->Dialogs().namesEditor : nullptr; }

    // The ids of the rows the view shows, top to bottom.
    static std::vector<int32_t> ShownIds(NamesEditor& e, Kind kind)
    {
        std::vector<int32_t> ids;
        NamesFilterProxy& proxy = e.Proxy(kind);
        for (int r = 0; r < proxy.rowCount(); ++r)
            ids.push_back(e.Model(kind).Row(proxy.mapToSource(proxy.index(r, 0)).row()).id);
        return ids;
    }

    // The view's index of a row's cell.
    static QModelIndex Cell(NamesEditor& e, Kind kind, int32_t id, Column column)
    {
        NamesListModel& m = e.Model(kind);
        return e.Proxy(kind).mapFromSource(m.index(m.RowOf(id), m.ColumnOf(column)));
    }

    static void Select(NamesEditor& e, Kind kind, std::initializer_list<int32_t> ids)
    {
        QItemSelectionModel* s = e.View(kind)->selectionModel();
        s->clearSelection();
        for (int32_t id : ids)
            s->select(Cell(e, kind, id, Column::Number), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    // The files of a system read back.
    struct Stored {
        DecoderContext ctx;
        TalkgroupTable tg{ctx};
        RadioTable radios{ctx};
    };
    std::unique_ptr<Stored> ReadBack(uint32_t id)
    {
        auto s = std::make_unique<Stored>();
        EXPECT_TRUE(TalkgroupFile::Load(SystemDir(id) + TalkgroupFile::kFileName, s->tg).Read());
        EXPECT_TRUE(RadioFile::Load(SystemDir(id) + RadioFile::kFileName, s->radios).Read());
        return s;
    }
    static TGTAG Record(TalkgroupTable& t, int32_t id)
    {
        LockGuard g(t.Lock());
        for (int i = 0; i < t.TalkgroupCount(); ++i)
            if (t.At(i).id == id)
                return t.At(i);
        return {};
    }

    std::unique_ptr<ScannerSimulator> scanner;
};

TEST_F(NamesEditorTest, SearchFiltersByNumberHexOrText)
{
    NamesEditor& e = Open();
    EXPECT_EQ(e.SystemChoice()->currentText(), QStringLiteral("System 2B7"));
    struct Case {
        const char* search;
        Kind kind;
        std::vector<int32_t> shown;
    };
    const Case cases[] = {
        {"", Kind::Talkgroups, {100, 256, 1000, 4660}},
        {"FIRE", Kind::Talkgroups, {100, 1000}},      // text, any case
        {"1234", Kind::Talkgroups, {4660}},           // hex 1234
        {"100", Kind::Talkgroups, {100, 256, 1000}},  // decimal 100, hex 100, decimal 1000
        {"north", Kind::Talkgroups, {256}},
        {"nothing like it", Kind::Talkgroups, {}},
        {"desk", Kind::Radios, {1234567}},
        {"12d687", Kind::Radios, {1234567}},  // 1234567 in hex
        {"7", Kind::Radios, {7, 1234567}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.search);
        e.Tabs()->setCurrentIndex(c.kind == Kind::Radios ? 1 : 0);
        e.SearchField()->setText(QString::fromLatin1(c.search));
        EXPECT_EQ(ShownIds(e, c.kind), c.shown);
    }

    // Sorted by a header: priorities as numbers (3 < 10 < 20 < 50), not as texts.
    // The selection follows its row through the sort and the search.
    e.Tabs()->setCurrentIndex(0);
    e.SearchField()->clear();
    Select(e, Kind::Talkgroups, {1000});
    ASSERT_EQ(e.View(Kind::Talkgroups)->selectionModel()->selectedRows().size(), 1);
    e.View(Kind::Talkgroups)->sortByColumn(e.Model(Kind::Talkgroups).ColumnOf(Column::Priority), Qt::AscendingOrder);
    EXPECT_EQ(ShownIds(e, Kind::Talkgroups), (std::vector<int32_t>{100, 256, 4660, 1000}));
    EXPECT_EQ(e.View(Kind::Talkgroups)->selectionModel()->selectedRows().size(), 1) << "after the sort";
    e.SearchField()->setText(QStringLiteral("fire"));
    EXPECT_EQ(ShownIds(e, Kind::Talkgroups), (std::vector<int32_t>{100, 1000}));
    const QModelIndexList selected = e.View(Kind::Talkgroups)->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].row(), 1);
    e.SearchField()->clear();

    if (const char* shots = std::getenv("VARNEL_SHOTS_DIR")) {
        e.SearchField()->setText(QStringLiteral("fire"));
        e.View(Kind::Talkgroups)->sortByColumn(0, Qt::AscendingOrder);
        QCoreApplication::processEvents();
        QDir().mkpath(shots);
        e.grab().save(QString::fromLocal8Bit(shots) + "/editor.png");
    }
}

TEST_F(NamesEditorTest, InlineEditsAreSavedToTheFilesWithTheDialogsLimits)
{
    NamesEditor& e = Open();
    NamesFilterProxy& tg = e.Proxy(Kind::Talkgroups);
    EXPECT_TRUE(tg.setData(Cell(e, Kind::Talkgroups, 100, Column::Description), QStringLiteral("Fire Main")));
    EXPECT_TRUE(tg.setData(Cell(e, Kind::Talkgroups, 100, Column::Priority), 7));
    // Out of range priorities are refused, a long name cut to the dialog's 40 characters.
    EXPECT_FALSE(tg.setData(Cell(e, Kind::Talkgroups, 256, Column::Priority), 100));
    EXPECT_FALSE(tg.setData(Cell(e, Kind::Talkgroups, 256, Column::Priority), -1));
    EXPECT_TRUE(tg.setData(Cell(e, Kind::Talkgroups, 1000, Column::Description), QString(60, QLatin1Char('x'))));
    EXPECT_TRUE(
        e.Proxy(Kind::Radios).setData(Cell(e, Kind::Radios, 7, Column::Description), QString(60, QLatin1Char('r'))));

    // Colours through the colour chooser (a double-click on a colour cell): a row without colours of
    // its own starts from the defaults; choosing the default pair again stores "none".
    ModalAnswerer answerer;
    answerer.dialogResult = QDialog::Accepted;
    QColor answer(0x10, 0x20, 0x30);
    answerer.fill = [&answer](QDialog& d) {
        if (auto* chooser = qobject_cast<QColorDialog*>(&d))
            chooser->setCurrentColor(answer);
    };
    QTableView* view = e.View(Kind::Talkgroups);
    emit view->doubleClicked(Cell(e, Kind::Talkgroups, 256, Column::BackColour));
    answer = QColor(0x33, 0x22, 0x11);  // the default text colour 0x112233
    emit view->doubleClicked(Cell(e, Kind::Talkgroups, 4660, Column::TextColour));
    answer = QColor(0xCC, 0xDD, 0xEE);  // the default background
    emit view->doubleClicked(Cell(e, Kind::Talkgroups, 4660, Column::BackColour));
    EXPECT_EQ(answerer.seen.size(), 3u);

    EXPECT_TRUE(e.HasUnsavedChanges());
    e.findChild<QPushButton*>("SaveButton")->click();
    EXPECT_FALSE(e.HasUnsavedChanges());

    auto stored = ReadBack(kSystem);
    const TGTAG fire = Record(stored->tg, 100);
    EXPECT_EQ(fire.description, "Fire Main");
    EXPECT_EQ(fire.priority, 7);
    EXPECT_EQ(fire.lastSeen, kSeen + 100) << "an edit is no sighting";
    EXPECT_EQ(fire.textColor, 0x0000FFu);
    EXPECT_EQ(Record(stored->tg, 256).priority, 10);
    EXPECT_EQ(Record(stored->tg, 256).textColor, kDefaultText);
    EXPECT_EQ(Record(stored->tg, 256).backColor, 0x302010u);
    EXPECT_EQ(Record(stored->tg, 4660).textColor, 0u);
    EXPECT_EQ(Record(stored->tg, 4660).backColor, 0u);
    EXPECT_EQ(Record(stored->tg, 1000).description, std::string(40, 'x'));
    EXPECT_EQ(stored->radios.PeekRadioText(7), std::string(50, 'r'));
    EXPECT_EQ(stored->radios.PeekRadioText(1234567), "Dispatcher desk");
}

TEST_F(NamesEditorTest, AddRefusesOutOfRangeAndDuplicatesDeleteAndUndoRestore)
{
    NamesEditor& e = Open();
    struct Refused {
        Kind kind;
        int64_t number;
    };
    for (const Refused& r :
         {Refused{Kind::Talkgroups, 0}, Refused{Kind::Talkgroups, 65536}, Refused{Kind::Talkgroups, 100},
          Refused{Kind::Radios, 0}, Refused{Kind::Radios, 16777216}, Refused{Kind::Radios, 7}}) {
        SCOPED_TRACE(r.number);
        QString why;
        EXPECT_FALSE(e.AddEntry(r.kind, r.number, &why));
        EXPECT_FALSE(why.isEmpty());
    }
    EXPECT_FALSE(e.CanUndo());
    EXPECT_FALSE(e.HasUnsavedChanges());

    EXPECT_TRUE(e.AddEntry(Kind::Talkgroups, 65535));
    EXPECT_TRUE(e.AddEntry(Kind::Radios, 16777215));
    EXPECT_EQ(ShownIds(e, Kind::Talkgroups), (std::vector<int32_t>{100, 256, 1000, 4660, 65535}));
    EXPECT_EQ(e.Model(Kind::Talkgroups).Row(4).priority, 50);

    Select(e, Kind::Talkgroups, {100, 4660});
    EXPECT_EQ(e.DeleteSelected(Kind::Talkgroups), 2);
    EXPECT_EQ(ShownIds(e, Kind::Talkgroups), (std::vector<int32_t>{256, 1000, 65535}));
    EXPECT_FALSE(e.Talkgroups()->IsTalkgroupKnown(100));
    EXPECT_TRUE(e.Proxy(Kind::Talkgroups)
                    .setData(Cell(e, Kind::Talkgroups, 256, Column::Description), QStringLiteral("Renamed")));

    // Undo, last change first: the rename, the deletion (every field back), then the additions.
    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(e.Talkgroups()->GetTalkgroupText(256), "Police North");
    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(ShownIds(e, Kind::Talkgroups), (std::vector<int32_t>{100, 256, 1000, 4660, 65535}));
    const TGTAG back = Record(*e.Talkgroups(), 4660);
    EXPECT_EQ(back.description, "EMS");
    EXPECT_EQ(back.priority, 20);
    EXPECT_EQ(back.textColor, 0x00FF00u);
    EXPECT_EQ(back.lastSeen, kSeen + 4660);
    EXPECT_EQ(back.calls, 12u);  // the use read from the system's folder comes back with the entry
    EXPECT_EQ(back.airtimeSeconds, 345);
    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(e.Radios()->PeekRadioText(16777215), "");
    EXPECT_EQ(e.Radios()->RadioCount(), 2);
    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(ShownIds(e, Kind::Talkgroups), (std::vector<int32_t>{100, 256, 1000, 4660}));
    EXPECT_FALSE(e.Undo());

    // The import's hook: a change made to the table from outside is one undo step.
    e.BeginOutsideChange(Kind::Talkgroups);
    e.Talkgroups()->SetTalkgroup(100, "Imported", 255, 0);
    e.Talkgroups()->SetTalkgroup(9, "New one", 255, 0);
    e.ReloadFromTables();
    EXPECT_EQ(ShownIds(e, Kind::Talkgroups), (std::vector<int32_t>{9, 100, 256, 1000, 4660}));
    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(ShownIds(e, Kind::Talkgroups), (std::vector<int32_t>{100, 256, 1000, 4660}));
    EXPECT_EQ(e.Talkgroups()->GetTalkgroupText(100), "Fire Dispatch");
}

TEST_F(NamesEditorTest, FileThatCannotBeReadIsNeverSavedOver)
{
    // A folder where TalkGroups.txt belongs: it exists, it cannot be read as a file.
    constexpr uint32_t kBroken = 0x2B8;
    std::filesystem::create_directories(SystemDir(kBroken) + TalkgroupFile::kFileName);
    ModalAnswerer answerer;
    NamesEditor& e = Open(kBroken);
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_TRUE(answerer.seen[0].text.contains(QStringLiteral("TalkGroups.txt cannot be read")));

    EXPECT_TRUE(e.AddEntry(Kind::Talkgroups, 42));
    EXPECT_TRUE(e.AddEntry(Kind::Radios, 42));
    EXPECT_FALSE(e.Save());
    ASSERT_EQ(answerer.seen.size(), 2u);
    EXPECT_TRUE(answerer.seen[1].text.contains(QStringLiteral("not saved over")));
    EXPECT_TRUE(std::filesystem::is_directory(SystemDir(kBroken) + TalkgroupFile::kFileName));
    // The radio list was readable (absent) and is written.
    DecoderContext ctx;
    RadioTable radios(ctx);
    EXPECT_TRUE(RadioFile::Load(SystemDir(kBroken) + RadioFile::kFileName, radios).Read());
    EXPECT_EQ(radios.RadioCount(), 1);
    EXPECT_TRUE(e.HasUnsavedChanges());
}

// A system on disk that the decoder identifies meanwhile is written from the decoder's tables: the
// editor's copy takes no further change and is not saved over them.
TEST_F(NamesEditorTest, DiskSystemThatBecomesDecodedTakesNoChange)
{
    NamesEditor& e = Open();
    ASSERT_TRUE(e.AddEntry(Kind::Talkgroups, 5));
    window->Decoder()->SetSiteIdentity(kSystem, 1, 0x70, 5);
    ModalAnswerer answerer;
    EXPECT_FALSE(e.AddEntry(Kind::Talkgroups, 6));
    EXPECT_FALSE(e.Save());
    ASSERT_EQ(answerer.seen.size(), 2u);
    EXPECT_TRUE(answerer.seen[0].text.contains(QStringLiteral("being decoded now")));
    EXPECT_FALSE(ReadBack(kSystem)->tg.IsTalkgroupKnown(5));
    // Chosen again (the unsaved change dropped when asked), it is the decoder's.
    answerer.SetAnswer(QMessageBox::Discard);
    EXPECT_TRUE(e.ChooseSystem(kSystem));
    EXPECT_TRUE(e.ShowsDecodedSystem());
    EXPECT_EQ(e.Talkgroups(), &window->Decoder()->Talkgroups());
}

TEST_F(NamesEditorTest, ExportWritesTheVisibleRowsInTheirOrder)
{
    NamesEditor& e = Open();
    e.SearchField()->setText(QStringLiteral("fire"));
    e.View(Kind::Talkgroups)
        ->sortByColumn(e.Model(Kind::Talkgroups).ColumnOf(Column::Description), Qt::DescendingOrder);
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    ASSERT_TRUE(e.ExportVisible(Kind::Talkgroups, path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << lines.join('|').toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("1000,"))) << lines[1].toStdString();  // "fire ground 2"
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("100,"))) << lines[2].toStdString();   // "Fire Dispatch"
}

TEST_F(NamesEditorTest, ClosingWithChangesAsksAndCancelKeepsTheWindow)
{
    NamesEditor& e = Open();
    ASSERT_TRUE(e.AddEntry(Kind::Talkgroups, 5));
    {
        ModalAnswerer answerer(QMessageBox::Cancel);
        EXPECT_FALSE(e.close());
        EXPECT_EQ(answerer.seen.size(), 1u);
        EXPECT_TRUE(e.isVisible());
    }
    {
        ModalAnswerer answerer(QMessageBox::Save);
        EXPECT_TRUE(e.close());
    }
    EXPECT_TRUE(ReadBack(kSystem)->tg.IsTalkgroupKnown(5));
}

// While the system is being decoded the editor works on the decoder's tables: a rename shows in
// the activity list at once, and Save writes the decoded system's files.
TEST_F(NamesEditorTest, LiveEditShowsOnTheActivityViewAndIsSaved)
{
    StartDemoScanner(scanner, settings);
    ASSERT_FALSE(HasFatalFailure());
    settings.autoSaveEnabled = false;
    MakeWindow();
    window->resize(1200, 800);
    window->ToggleSession();
    ListModel* activity = ModelOf(window->Widgets().List(ListRole::Activity));
    ASSERT_NE(activity, nullptr);
    constexpr int kTalkgroupColumn = 5, kNameColumn = 6, kTypeColumn = 3;
    auto groupCall = [&] {
        for (int row = 0; row < activity->Count(); ++row)
            if (activity->Cell(row, kTypeColumn).startsWith(QStringLiteral("Group")))
                return activity->Cell(row, kTalkgroupColumn).toInt();
        return 0;
    };
    ASSERT_TRUE(PumpUntil([&] { return groupCall() != 0; }, 60000));
    const uint32_t system = window->Decoder()->GetSystemId();
    NamesEditor& e = Open(system);
    EXPECT_TRUE(e.ShowsDecodedSystem());
    EXPECT_TRUE(e.SystemChoice()->currentText().endsWith(QStringLiteral("(being decoded)")));
    ASSERT_EQ(e.Talkgroups(), &window->Decoder()->Talkgroups());

    // No further grant may bring the new name: the scanner falls silent while a call is shown
    // (it stays on the list for the channel time-out, 1.7 s).
    scanner->Stop();
    PumpUntil([] { return false; }, 50);
    const int32_t talkgroup = groupCall();
    ASSERT_NE(talkgroup, 0);
    ASSERT_GE(e.Model(Kind::Talkgroups).RowOf(talkgroup), 0);
    ASSERT_TRUE(
        e.Proxy(Kind::Talkgroups)
            .setData(Cell(e, Kind::Talkgroups, talkgroup, Column::Description), QStringLiteral("Renamed live")));
    EXPECT_EQ(window->Decoder()->Talkgroups().GetTalkgroupText(talkgroup), "Renamed live");
    EXPECT_TRUE(PumpUntil(
        [&] {
            for (int row = 0; row < activity->Count(); ++row)
                if (activity->Cell(row, kTalkgroupColumn).toInt() == talkgroup &&
                    activity->Cell(row, kNameColumn) == QStringLiteral("Renamed live"))
                    return true;
            return false;
        },
        1000));

    ASSERT_TRUE(e.Save());
    DecoderContext ctx;
    TalkgroupTable stored(ctx);
    ASSERT_TRUE(TalkgroupFile::Load(SystemDir(system) + TalkgroupFile::kFileName, stored).Read());
    EXPECT_EQ(stored.GetTalkgroupText(talkgroup), "Renamed live");
    window->ToggleSession();
}

}  // namespace
