#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <limits>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/IniFile.h"
#include "support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

// A file as a user might have edited it: odd case, blanks, LF and CR LF mixed, comments, repeats.
constexpr const char* kEdited = "; written by hand\n"
                                "[ Global ]\r\n"
                                "  Font =  Tahoma  \r\n"
                                "size=8\n"
                                "; keep this note\n"
                                "SIZE=12\n"
                                "NoEqualsSign\n"
                                "[global]\n"
                                "Font=Courier\n"
                                "Extra=1\n"
                                "[Backup]\n"
                                "Days=7\n";

TEST(IniFileRead, NamesIgnoreCaseFirstMatchWinsBlanksTrimmed)
{
    IniFile ini;
    ini.Parse(kEdited);
    EXPECT_EQ(ini.ReadString("GLOBAL", "font"), "Tahoma");
    EXPECT_EQ(ini.ReadInteger("Global", "Size", 0), 8);            // the first of two entries
    EXPECT_EQ(ini.ReadString("Global", "Extra", "none"), "none");  // the second [global] is never searched
    EXPECT_EQ(ini.ReadString(" backup ", " days "), "7");
    EXPECT_FALSE(ini.ValueExists("Global", "NoEqualsSign"));
    EXPECT_EQ(ini.ReadString("Missing", "Key", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadSection("global"), (std::vector<std::string>{"Font", "size"}));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Global", "Backup"}));
}

TEST(IniFileRead, ByteOrderMarkAndEmptyValue)
{
    IniFile ini;
    ini.Parse("\xEF\xBB\xBF[S]\nEmpty=\n");
    EXPECT_TRUE(ini.SectionExists("s"));
    EXPECT_TRUE(ini.ValueExists("S", "empty"));
    EXPECT_EQ(ini.ReadString("S", "Empty", "x"), "");
}

// An editor that adds a mark to a file that had one already, or a blank line before the mark:
// the section must still be found, and a save must not move the mark to where it hides it.
TEST(IniFileRead, RepeatedOrLateByteOrderMarkBeforeFirstSection)
{
    for (const char* text : {"\xEF\xBB\xBF\xEF\xBB\xBF[S]\nKey=1\n", "\n \xEF\xBB\xBF[S]\nKey=1\n"}) {
        IniFile ini;
        ini.Parse(text);
        EXPECT_EQ(ini.ReadInteger("S", "Key", 0), 1) << text;
        IniFile back;
        back.Parse(ini.Text());
        EXPECT_EQ(back.Text(), ini.Text()) << text;
    }
}

struct NumberCase {
    const char* text;
    int64_t integer;  // with default -99
    double floating;  // with default -99.5
};

class IniFileNumbers : public ::testing::TestWithParam<NumberCase> { };

TEST_P(IniFileNumbers, LeadingNumberOrDefault)
{
    const NumberCase& c = GetParam();
    IniFile ini;
    ini.WriteString("S", "K", c.text);
    EXPECT_EQ(ini.ReadInteger("S", "K", -99), c.integer) << '"' << c.text << '"';
    EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "K", -99.5), c.floating) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Values, IniFileNumbers,
    ::testing::Values(
        NumberCase{"42", 42, 42}, NumberCase{"-17", -17, -17}, NumberCase{"+5", 5, 5}, NumberCase{"12abc", 12, 12},
        NumberCase{"866.0", 866, 866.0}, NumberCase{"12.5MHz", 12, 12.5}, NumberCase{"1e3", 1, 1000},
        NumberCase{"0x1F", 0, 0}, NumberCase{"abc", -99, -99.5}, NumberCase{"", -99, -99.5},
        NumberCase{"-", -99, -99.5}, NumberCase{"- 5", -99, -99.5}, NumberCase{"nan", -99, -99.5},
        NumberCase{"99999999999999999999999", std::numeric_limits<int64_t>::max(), 99999999999999999999999.0},
        NumberCase{"-99999999999999999999999", std::numeric_limits<int64_t>::min(), -99999999999999999999999.0}));

TEST(IniFileWrite, ReplacesFirstMatchInPlaceAndKeepsComments)
{
    IniFile ini;
    ini.Parse(kEdited);
    ini.WriteString("GLOBAL", "SIZE", "10");
    ini.WriteString("global", "New", "  padded  ");
    ini.WriteString("Added", "Key", "two\r\nlines");
    EXPECT_EQ(ini.Text(),
              "; written by hand\r\n"
              "\r\n[Global]\r\nFont=Tahoma\r\nsize=10\r\n; keep this note\r\nSIZE=12\r\nNoEqualsSign\r\nNew=padded\r\n"
              "\r\n[global]\r\nFont=Courier\r\nExtra=1\r\n"
              "\r\n[Backup]\r\nDays=7\r\n"
              "\r\n[Added]\r\nKey=two  lines\r\n");
}

TEST(IniFileWrite, TypedValuesReadBack)
{
    IniFile ini;
    ini.WriteInteger("S", "Big", std::numeric_limits<int64_t>::min());
    ini.WriteFloat("S", "Freq", 866.0125);
    ini.WriteFloat("S", "Tiny", 0.1 + 0.2);
    ini.WriteBool("S", "On", true);
    IniFile back;
    back.Parse(ini.Text());
    EXPECT_EQ(back.ReadInteger("S", "Big", 0), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(back.ReadFloat("S", "Freq", 0), 866.0125);
    EXPECT_EQ(back.ReadFloat("S", "Tiny", 0), 0.1 + 0.2);
    EXPECT_TRUE(back.ReadBool("S", "On", false));
    back.WriteString("S", "On", "Off");
    EXPECT_FALSE(back.ReadBool("S", "On", true));
    back.WriteString("S", "On", "maybe");
    EXPECT_TRUE(back.ReadBool("S", "On", true));
    back.WriteString("S", "On", "2");
    EXPECT_TRUE(back.ReadBool("S", "On", false));
    back.WriteString("S", "On", "0");
    EXPECT_FALSE(back.ReadBool("S", "On", true));
}

TEST(IniFileStructure, EraseSectionAndDeleteKey)
{
    IniFile ini;
    ini.Parse(kEdited);
    ini.EraseSection("GLOBAL");  // both sections of that name go
    EXPECT_FALSE(ini.SectionExists("Global"));
    EXPECT_TRUE(ini.ReadSection("Global").empty());
    ini.WriteString("Global", "Font", "Arial");
    EXPECT_EQ(ini.ReadString("Global", "Font"), "Arial");
    ini.DeleteKey("backup", "DAYS");
    EXPECT_TRUE(ini.SectionExists("Backup"));
    EXPECT_FALSE(ini.ValueExists("Backup", "Days"));
}

class IniFileOnDisk : public ::testing::Test {
protected:
    ScratchFolder dir;
    std::string path = dir.File("test.INI");
};

TEST_F(IniFileOnDisk, MissingFileIsEmptyAndSaveCreatesIt)
{
    IniFile ini;
    EXPECT_TRUE(ini.Load(path));
    EXPECT_TRUE(ini.ReadSections().empty());
    ini.WriteInteger("S", "K", 5);
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(ScratchFolder::Read(path), "[S]\r\nK=5\r\n");
    IniFile back;
    ASSERT_TRUE(back.Load(path));
    EXPECT_EQ(back.ReadInteger("s", "k", 0), 5);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms(0644));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);  // no temporary left
}

TEST_F(IniFileOnDisk, CreateModeAppliesToNewAndExistingFiles)
{
    ScratchFolder::Write(path, "[S]\nK=1\n");
    fs::permissions(path, fs::perms(0664));
    IniFile keep;
    ASSERT_TRUE(keep.Load(path));
    ASSERT_TRUE(keep.Save());
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms(0664));  // the old mode is kept

    IniFile secret;
    secret.SetCreateMode(0600);
    ASSERT_TRUE(secret.Load(path));
    ASSERT_TRUE(secret.Save());
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms(0600));
}

TEST_F(IniFileOnDisk, SavesThroughASymbolicLink)
{
    const std::string real = dir.File("real.INI");
    ScratchFolder::Write(real, "[S]\r\nK=1\r\n");
    fs::create_symlink(real, path);
    IniFile ini;
    ASSERT_TRUE(ini.Load(path));
    ini.WriteInteger("S", "K", 2);
    ASSERT_TRUE(ini.Save());
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(ScratchFolder::Read(real), "[S]\r\nK=2\r\n");
}

TEST_F(IniFileOnDisk, UnreadableFileReportsFailure)
{
    fs::create_directory(path);  // a folder where the file should be
    IniFile ini;
    EXPECT_FALSE(ini.Load(path));
    ini.WriteInteger("S", "K", 1);
    EXPECT_FALSE(ini.Save());
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

// A save that fails part-way (here: the disk "fills up" after a few bytes) leaves the old file
// exactly as it was, reports false and leaves no temporary file behind.
TEST_F(IniFileOnDisk, FailedWriteKeepsOldFile)
{
    const std::string old = "[S]\r\nK=old\r\n";
    ScratchFolder::Write(path, old);
    IniFile ini;
    ASSERT_TRUE(ini.Load(path));
    ini.WriteString("S", "K", std::string(4096, 'x'));

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = ini.Save();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(ScratchFolder::Read(path), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST_F(IniFileOnDisk, FolderWithoutWriteRightKeepsOldFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser may write into any folder";
    const std::string old = "[S]\r\nK=old\r\n";
    ScratchFolder::Write(path, old);
    IniFile ini;
    ASSERT_TRUE(ini.Load(path));
    ini.WriteString("S", "K", "new");
    fs::permissions(dir.Path(), fs::perms(0500));
    EXPECT_FALSE(ini.Save());
    fs::permissions(dir.Path(), fs::perms(0700));
    EXPECT_EQ(ScratchFolder::Read(path), old);
}

TEST_F(IniFileOnDisk, MissingFolderOrNoPathFails)
{
    IniFile ini;
    ini.WriteInteger("S", "K", 1);
    EXPECT_FALSE(ini.Save());  // no path yet
    EXPECT_FALSE(ini.Save(dir.File("no/such/folder/x.INI")));
}

}  // namespace
