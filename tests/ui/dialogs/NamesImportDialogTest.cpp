// The import preview: what it shows of a name list before anything is applied, and what OK,
// Cancel and "replace existing names" do to the table.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "persist/NamesImport.h"
#include "platform/Clock.h"
#include "platform/NamedLock.h"
#include "site/DecoderContext.h"
#include "site/GeneratedDescription.h"
#include "site/RadioTable.h"
#include "site/TalkgroupTable.h"
#include "ui/dialogs/NamesImportDialog.h"

namespace {

constexpr int64_t kT0 = 1240322820;

std::string Fixture(const std::string& name)
{
    std::ifstream in(std::string(VARNEL_TEST_DATA) + "/names/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

QStringList Column(const QAbstractItemModel* model, int column)
{
    QStringList out;
    for (int row = 0; row < model->rowCount(); ++row)
        out << model->index(row, column).data().toString();
    return out;
}

QStringList Rows(const QTableView* view)
{
    QStringList out;
    const QAbstractItemModel* m = view->model();
    for (int row = 0; row < m->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < m->columnCount(); ++column)
            cells << m->index(row, column).data().toString();
        out << cells.join('|');
    }
    return out;
}

class NamesImportDialogTest : public ::testing::Test {
protected:
    NamesImportDialogTest()
    {
        ctx.time.SetClock(clock);
        ctx.rfss = 1;
        ctx.site = 5;
        talkgroups.NoteTalkgroup(100);  // a generated description: counts as no name
        talkgroups.SetTalkgroup(300, "My EMS", 20, kT0 - 50);
    }
    ~NamesImportDialogTest() override { EXPECT_EQ(NamedLock::HeldCount(), 0); }

    // The list with every bad case: wrong encoding, numbers out of range, text in the number
    // column, a duplicate, unbalanced quotes, and a line of 50 MB with a good line after it.
    QString BadList()
    {
        const QString path = dir.filePath("talkgroups.csv");
        std::ofstream out(path.toStdString(), std::ios::binary);
        out << Fixture("talkgroups.csv") << "800,320," << std::string(size_t{50} << 20, 'z')
            << "\r\n900,384,After,,,,\r\n";
        return path;
    }
    QString List(const char* name, const std::string& text)
    {
        const QString path = dir.filePath(name);
        std::ofstream(path.toStdString(), std::ios::binary) << text;
        return path;
    }

    static QPushButton* Button(QDialog& d, const char* name) { return d.findChild<QPushButton*>(name); }

    QTemporaryDir dir;
    ManualClock clock{kT0};
    DecoderContext ctx;
    TalkgroupTable talkgroups{ctx};
    RadioTable radios{ctx};
};

const QStringList kRejected = {
    "line 5: talkgroup 70000 out of range 1-65535",
    "line 6: text \"abc\" in the number column",
    "line 7: duplicate of line 2 (100)",
    "line 8: not UTF-8 text",
    "line 9: talkgroup 0 out of range 1-65535",
    "line 12: priority 150 out of range 0-99",
    "line 13: unbalanced quotes",
    "line 14: line too long",
};

TEST_F(NamesImportDialogTest, PreviewShowsCountsRowsAndEveryRejectedLineBeforeAnythingIsApplied)
{
    NamesImportDialog d(nullptr, NamesImport::Kind::Talkgroups, &talkgroups, &radios);
    ASSERT_TRUE(d.LoadFile(BadList()));
    d.show();
    QCoreApplication::processEvents();

    EXPECT_EQ(d.CountsLabel()->text(), "3 new, 1 changed, 1 unchanged (1 keep their own names), 8 rejected");
    EXPECT_EQ(Column(d.RejectedView()->model(), 0), kRejected);
    // Line, number, name, priority ("kept": the entry keeps its own), change.
    EXPECT_EQ(Rows(d.RowsView()), QStringList({"2|100|Fire Dispatch|kept|changed", "3|200|Police, North|10|new",
                                               "10|500|Two line name|50|new", "15|900|After|50|new"}));
    EXPECT_FALSE(d.ProblemLabel()->isVisible());
    EXPECT_TRUE(Button(d, "OkButton")->isEnabled());

    if (const char* shots = std::getenv("VARNEL_SHOTS_DIR"))
        d.grab().save(QString::fromLocal8Bit(shots) + "/import-preview.png");

    // Nothing applied yet.
    EXPECT_EQ(talkgroups.TalkgroupCount(), 2);
    EXPECT_TRUE(IsGeneratedDescription(talkgroups.GetTalkgroupText(100)));
}

TEST_F(NamesImportDialogTest, ReplaceTickedPlansAgainAndCancelAppliesNothing)
{
    NamesImportDialog d(nullptr, NamesImport::Kind::Talkgroups, &talkgroups, &radios);
    ASSERT_TRUE(d.LoadFile(BadList()));
    d.ReplaceBox()->click();
    EXPECT_EQ(d.CountsLabel()->text(), "3 new, 2 changed, 0 unchanged, 8 rejected");
    EXPECT_TRUE(Rows(d.RowsView()).contains("4|300|EMS \"Ops\"|kept|changed"))
        << Rows(d.RowsView()).join('\n').toStdString();
    d.ReplaceBox()->click();
    EXPECT_EQ(d.CountsLabel()->text(), "3 new, 1 changed, 1 unchanged (1 keep their own names), 8 rejected");

    d.ReplaceBox()->click();
    Button(d, "CancelButton")->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(d.Applied(), 0);
    EXPECT_EQ(talkgroups.TalkgroupCount(), 2);
    EXPECT_EQ(talkgroups.GetTalkgroupText(300), "My EMS");
}

// Through the entry the list editor calls: OK applies exactly the plan shown, replace included.
TEST_F(NamesImportDialogTest, OkAppliesThePlanShown)
{
    const QString file = BadList();
    QTimer::singleShot(0, [] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        modal->findChild<QCheckBox*>("ReplaceBox")->click();
        modal->findChild<QPushButton*>("OkButton")->click();
    });
    EXPECT_EQ(NamesImportDialog::Run(nullptr, file, NamesImport::Kind::Talkgroups, &talkgroups, nullptr), 5);
    EXPECT_EQ(talkgroups.TalkgroupCount(), 5);
    EXPECT_EQ(talkgroups.GetTalkgroupText(100), "Fire Dispatch");
    EXPECT_EQ(talkgroups.GetTalkgroupText(200), "Police, North");
    EXPECT_EQ(talkgroups.GetTalkgroupPriority(200), 10);
    EXPECT_EQ(talkgroups.GetTalkgroupText(300), "EMS \"Ops\"");
    EXPECT_EQ(talkgroups.GetTalkgroupPriority(300), 20);  // the file gave none
    EXPECT_EQ(talkgroups.GetTalkgroupText(500), "Two line name");
    EXPECT_EQ(talkgroups.GetTalkgroupText(900), "After");
    EXPECT_EQ(talkgroups.GetTalkgroupText(800), "");  // the 50 MB line
}

TEST_F(NamesImportDialogTest, RadiosGoIntoTheRadioTable)
{
    NamesImportDialog d(nullptr, NamesImport::Kind::Radios, nullptr, &radios);
    ASSERT_TRUE(d.LoadFile(List("radios.csv", Fixture("radios.csv"))));
    ASSERT_TRUE(Button(d, "OkButton")->isEnabled());
    const int applicable = d.CurrentPlan().Applicable();
    EXPECT_EQ(d.RowsView()->model()->rowCount(), applicable);
    EXPECT_TRUE(d.RowsView()->isColumnHidden(3));  // radios have no priority
    Button(d, "OkButton")->click();
    EXPECT_EQ(d.Applied(), applicable);
    EXPECT_EQ(radios.RadioCount(), applicable);
    EXPECT_EQ(talkgroups.TalkgroupCount(), 2);
}

// A list with nothing to apply says why, and OK stays off.
TEST_F(NamesImportDialogTest, AListWithNothingToApplySaysWhy)
{
    struct Case {
        const char* name;
        const char* text;  // nullptr: no such file
        QString problem;
    };
    const Case cases[] = {
        {"missing.csv", nullptr, "Cannot read missing.csv: no such file"},
        {"noheader.csv", "Name,Alias\r\nFire,Fire Dispatch\r\n",
         "Cannot import: no talkgroup number column (Decimal, DEC, Talkgroup or Hex) in the header."},
        {"allbad.csv", "Decimal,Alpha Tag\r\n70000,Big\r\nabc,Text\r\n",
         "Nothing to import: no line of the file holds a valid talkgroup and name."},
        {"same.csv", "Decimal,Alpha Tag\r\n300,My EMS\r\n",
         "Nothing to change: every talkgroup of the file already has this name."},
        {"empty.csv", "", "Cannot import: no header line."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = c.text ? List(c.name, c.text) : dir.filePath(c.name);
        NamesImportDialog d(nullptr, NamesImport::Kind::Talkgroups, &talkgroups, &radios);
        EXPECT_EQ(d.LoadFile(path), c.text != nullptr);
        d.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(d.ProblemLabel()->text(), c.problem);
        EXPECT_TRUE(d.ProblemLabel()->isVisible());
        EXPECT_FALSE(Button(d, "OkButton")->isEnabled());
        d.accept();  // even when called directly
        EXPECT_EQ(d.Applied(), 0);
    }
    EXPECT_EQ(talkgroups.TalkgroupCount(), 2);
}

}  // namespace
