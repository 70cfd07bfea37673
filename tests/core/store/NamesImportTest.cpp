#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "persist/NamesExport.h"
#include "persist/NamesImport.h"
#include "platform/Clock.h"
#include "site/DecoderContext.h"
#include "site/GeneratedDescription.h"
#include "site/RadioTable.h"
#include "site/TalkgroupTable.h"

namespace {

constexpr int64_t kT0 = 1240322820;

std::string Fixture(const std::string& name)
{
    std::ifstream in(std::string(VARNEL_TEST_DATA) + "/names/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class NamesImportTest : public ::testing::Test {
protected:
    NamesImportTest()
    {
        ctx.time.SetClock(clock);
        ctx.rfss = 1;
        ctx.site = 5;
    }

    // The fixture with every bad case, plus a line of 50 MB and a good line after it.
    static std::string TalkgroupFile()
    {
        std::string text = Fixture("talkgroups.csv");
        text += "800,320,";
        text.append(size_t{50} << 20, 'z');
        text += "\r\n900,384,After,,,,\r\n";
        return text;
    }

    const TGTAG* Talkgroup(int32_t id)
    {
        LockGuard g(talkgroups.Lock());
        for (int i = 0; i < talkgroups.TalkgroupCount(); ++i)
            if (talkgroups.At(i).id == id)
                return &talkgroups.At(i);
        return nullptr;
    }

    ManualClock clock{kT0};
    DecoderContext ctx;
    TalkgroupTable talkgroups{ctx};
    RadioTable radios{ctx};
};

TEST_F(NamesImportTest, PreviewCountsAndRejectsEveryBadLine)
{
    talkgroups.NoteTalkgroup(100);  // a generated description: counts as no name
    ASSERT_TRUE(IsGeneratedDescription(talkgroups.GetTalkgroupText(100)));
    talkgroups.SetTalkgroup(300, "My EMS", 20, kT0 - 50);

    const std::string csv = TalkgroupFile();
    const NamesImport::Plan plan = NamesImport::PlanTalkgroups(csv, talkgroups, false);
    EXPECT_EQ(plan.problem, "");
    EXPECT_EQ(plan.newRows, 3);  // 200, 500, 900
    EXPECT_EQ(plan.changed, 1);  // 100
    EXPECT_EQ(plan.unchanged, 1);
    EXPECT_EQ(plan.keptNames, 1);
    const std::vector<std::pair<int, std::string>> expected = {
        {5, "talkgroup 70000 out of range 1-65535"},
        {6, "text \"abc\" in the number column"},
        {7, "duplicate of line 2 (100)"},
        {8, "not UTF-8 text"},
        {9, "talkgroup 0 out of range 1-65535"},
        {12, "priority 150 out of range 0-99"},
        {13, "unbalanced quotes"},
        {14, "line too long"},
    };
    ASSERT_EQ(plan.rejected.size(), expected.size()) << NamesImport::Summary(plan);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(plan.rejected[i].line, expected[i].first);
        EXPECT_EQ(plan.rejected[i].reason, expected[i].second);
    }
    // The preview touched nothing.
    EXPECT_EQ(talkgroups.TalkgroupCount(), 2);

    EXPECT_EQ(NamesImport::Apply(plan, talkgroups), 4);
    EXPECT_EQ(talkgroups.GetTalkgroupText(100), "Fire Dispatch");
    EXPECT_EQ(talkgroups.GetTalkgroupText(200), "Police, North");
    EXPECT_EQ(talkgroups.GetTalkgroupPriority(200), 10);
    EXPECT_EQ(talkgroups.GetTalkgroupText(300), "My EMS");
    EXPECT_EQ(talkgroups.GetTalkgroupPriority(300), 20);
    EXPECT_EQ(talkgroups.GetTalkgroupText(500), "Two line name");
    const TGTAG* added = Talkgroup(900);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->priority, 50);
    EXPECT_EQ(added->textColor, added->backColor);  // no colours of its own
    EXPECT_EQ(added->firstSeen, 0);                 // never heard
    EXPECT_EQ(Talkgroup(300)->lastSeen, kT0 - 50);  // an import is not a sighting
}

TEST_F(NamesImportTest, ReplaceOverwritesOwnNames)
{
    talkgroups.SetTalkgroup(300, "My EMS", 20, kT0);
    const NamesImport::Plan plan = NamesImport::PlanTalkgroups(Fixture("talkgroups.csv"), talkgroups, true);
    EXPECT_EQ(plan.changed, 1);
    EXPECT_EQ(plan.unchanged, 0);
    NamesImport::Apply(plan, talkgroups);
    EXPECT_EQ(talkgroups.GetTalkgroupText(300), "EMS \"Ops\"");
    EXPECT_EQ(talkgroups.GetTalkgroupPriority(300), 20);  // the file gave none
}

TEST_F(NamesImportTest, RadiosTakeAliasThenDescription)
{
    radios.NoteRadio(1002, 100);
    const NamesImport::Plan plan = NamesImport::PlanRadios(Fixture("radios.csv"), radios, false);
    EXPECT_EQ(plan.newRows, 2);
    EXPECT_EQ(plan.changed, 1);
    ASSERT_EQ(plan.rejected.size(), 2u);
    EXPECT_EQ(plan.rejected[0].line, 4);
    EXPECT_EQ(plan.rejected[0].reason, "radio 16777216 out of range 1-16777215");
    EXPECT_EQ(plan.rejected[1].reason, "duplicate of line 2 (1001)");
    NamesImport::Apply(plan, radios);
    EXPECT_EQ(radios.GetRadioText(1002), "Dispatcher desk");
    EXPECT_EQ(radios.GetRadioText(16777215), "Top");
}

TEST_F(NamesImportTest, FileWithoutNumberColumnHasNothingToImport)
{
    for (const char* text : {"Name,Alpha Tag\r\n1,a\r\n", "", "\xEF\xBB\xBF"}) {
        const NamesImport::Plan plan = NamesImport::PlanTalkgroups(text, talkgroups, false);
        EXPECT_FALSE(plan.problem.empty()) << text;
        EXPECT_EQ(plan.Applicable(), 0);
    }
}

TEST_F(NamesImportTest, ExportThenImportGivesTheSameTables)
{
    talkgroups.SetTalkgroup(1, "Plain", 1, kT0);
    talkgroups.SetTalkgroup(2, "Comma, \"quoted\"", 0, kT0);
    talkgroups.SetTalkgroup(65535, "\xC3\x89t\xC3\xA9", 99, kT0);
    radios.SetRadio(16777215, "Unit, \"one\"", kT0);
    radios.SetRadio(7, "Seven", kT0);

    DecoderContext otherCtx;
    otherCtx.time.SetClock(clock);
    TalkgroupTable otherTalkgroups(otherCtx);
    RadioTable otherRadios(otherCtx);
    const std::string tgCsv = NamesExport::AllTalkgroups(talkgroups);
    const std::string radioCsv = NamesExport::AllRadios(radios);
    NamesImport::Apply(NamesImport::PlanTalkgroups(tgCsv, otherTalkgroups, false), otherTalkgroups);
    NamesImport::Apply(NamesImport::PlanRadios(radioCsv, otherRadios, false), otherRadios);

    ASSERT_EQ(otherTalkgroups.TalkgroupCount(), 3);
    for (int32_t id : {1, 2, 65535}) {
        EXPECT_EQ(otherTalkgroups.GetTalkgroupText(id), talkgroups.GetTalkgroupText(id));
        EXPECT_EQ(otherTalkgroups.GetTalkgroupPriority(id), talkgroups.GetTalkgroupPriority(id));
    }
    ASSERT_EQ(otherRadios.RadioCount(), 2);
    EXPECT_EQ(otherRadios.GetRadioText(16777215), "Unit, \"one\"");
    // Only the rows asked for, in the order asked.
    const std::string some = NamesExport::Talkgroups(talkgroups, {65535, 1, 4});
    EXPECT_EQ(some.substr(some.find('\n') + 1, 6), "65535,");
    EXPECT_EQ(std::count(some.begin(), some.end(), '\n'), 3);
}

}  // namespace
