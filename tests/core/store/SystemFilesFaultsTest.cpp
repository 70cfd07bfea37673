#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <sys/resource.h>

#include "platform/AtomicFile.h"
#include "site/ChannelActivity.h"
#include "support/SystemFolderFixture.h"

namespace {

using testsupport::SystemFolderFixture;

class SystemFilesFaultsTest : public SystemFolderFixture {
protected:
    int FilesInFolder() const
    {
        return static_cast<int>(
            std::distance(std::filesystem::directory_iterator(Folder()), std::filesystem::directory_iterator()));
    }
};

// Lowers the file size limit of the process (a full disk, as far as writes are concerned) and
// restores it when it goes out of scope.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
        rlimit l = old_;
        l.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(SystemFilesFaultsTest, DescriptionsTheLineCannotCarryKeepEveryOtherField)
{
    struct Row {
        const char* description;
        const char* readBack;
    };
    const Row rows[] = {
        {"say \"hi\",there", "say \"hi\" ,there"},
        {"two\r\nlines", "two  lines"},
        {"x\",", "x\" ,"},
        {"\",\"", "\" ,\""},
        {"ends with \"", "ends with \""},
        {"\"quoted\"", "\"quoted\""},
        {"a,b", "a,b"},
        {"", ""},
    };
    auto a = NewDecoder();
    Identify(*a);
    int32_t id = 10;
    for (const Row& r : rows) {
        a->Talkgroups().SetTalkgroup(id, r.description, 7, 1240000000 + id);
        a->Talkgroups().SetTalkgroupColors(id, 0x010203, 0x040506);
        a->Talkgroups().SetTalkgroup(id + 1, "next", 8, 1240000001);
        a->Radios().SetRadio(id, r.description, 1240000000 + id);
        a->Radios().SetRadioColors(id, 0x010203, 0x040506);
        a->Radios().SetRadio(id + 1, "next", 1240000001);
        id += 2;
    }
    a->SetSystemName("County\r\nTrunk");
    a->SetSiteName("North\nHill");
    ASSERT_TRUE(SaveSystemData(*a));

    auto b = NewDecoder();
    Identify(*b);
    ASSERT_EQ(b->Talkgroups().TalkgroupCount(), 2 * static_cast<int>(std::size(rows)));
    ASSERT_EQ(b->Radios().RadioCount(), 2 * static_cast<int>(std::size(rows)));
    id = 10;
    for (const Row& r : rows) {
        const TGTAG t = Talkgroup(*b, id);
        EXPECT_EQ(t.description, r.readBack) << r.description;
        EXPECT_EQ(t.priority, 7) << r.description;
        EXPECT_EQ(t.lastSeen, 1240000000 + id) << r.description;
        EXPECT_EQ(t.textColor, 0x010203u) << r.description;
        EXPECT_EQ(t.backColor, 0x040506u) << r.description;
        EXPECT_EQ(Talkgroup(*b, id + 1).description, "next");
        EXPECT_EQ(Talkgroup(*b, id + 1).priority, 8);
        EXPECT_EQ(b->Radios().GetRadioText(id), r.readBack) << r.description;
        uint32_t text = 0, back = 0;
        EXPECT_TRUE(b->Radios().GetRadioColors(id, text, back)) << r.description;
        EXPECT_EQ(text, 0x010203u);
        EXPECT_EQ(b->Radios().GetRadioText(id + 1), "next");
        id += 2;
    }
    const SystemInfo info = Info(*b);
    EXPECT_EQ(info.systemName, "County  Trunk");
    EXPECT_EQ(info.siteName, "North Hill");
}

TEST_F(SystemFilesFaultsTest, LongDescriptionsStayOnTheirLine)
{
    const std::string longText(300, 'L');
    const std::string tooLong = "9999," + std::string(2000, 'X');  // looks like a record if split
    auto a = NewDecoder();
    Identify(*a);
    a->Talkgroups().SetTalkgroup(100, longText, 3, 0);
    a->Talkgroups().SetTalkgroup(200, tooLong, 4, 0);
    a->Talkgroups().SetTalkgroup(300, "after", 5, 0);
    ASSERT_TRUE(SaveSystemData(*a));

    auto b = NewDecoder();
    Identify(*b);
    EXPECT_EQ(b->Talkgroups().TalkgroupCount(), 3);
    EXPECT_EQ(Talkgroup(*b, 100).description, longText);
    EXPECT_EQ(Talkgroup(*b, 200).description, tooLong.substr(0, 1024));  // a field holds 1024 characters
    EXPECT_EQ(Talkgroup(*b, 200).priority, 4);
    EXPECT_EQ(Talkgroup(*b, 300).priority, 5);
    EXPECT_FALSE(b->Talkgroups().IsTalkgroupKnown(9999));
}

TEST_F(SystemFilesFaultsTest, TextWhereANumberBelongsSkipsOnlyThatLine)
{
    const std::string tail = ",\"04/21/2009 @ 14:07\",0,\"Unknown\",\"#000000\",\"#000000\"\r\n";
    WriteText("TalkGroups.txt",
              "FileVersion:5\r\n"
              "abc,50,\"bad id\",1240322820" +
                  tail + "101,high,\"bad priority\",1240322820" + tail + "102,50,\"bad last seen\",yesterday" + tail +
                  "103,50,\"bad first seen\",1240322820,\"x\",soon,\"x\",\"#000000\",\"#000000\"\r\n"
                  "104,300,\"priority beyond a byte\",1240322820" +
                  tail + "105,50,\"good\",1240322820" + tail + "106 ,20,\"blanks around numbers\", 1240322820" + tail);
    WriteText("Radios.txt", "FileVersion:4\r\nx1,\"bad id\",1240322820,\"x\",\"#000000\",\"#000000\"\r\n"
                            "5,\"bad last seen\",never,\"x\",\"#000000\",\"#000000\"\r\n"
                            "99999999999,\"beyond 32 bits\",1240322820,\"x\",\"#000000\",\"#000000\"\r\n"
                            "6,\"good\",1240322820,\"x\",\"#000000\",\"#000000\"\r\n");
    WriteText("Tower0105.txt", "FileVersion:5\r\n-Tables\r\n"
                               "zz,851.00625,0.00625,-45.00000,\"Confirmed\",0.01250\r\n"
                               "03,base,0.00625,-45.00000,\"Confirmed\",0.01250\r\n"
                               "16,851.00625,0.00625,-45.00000,\"Confirmed\",0.01250\r\n"
                               "01,851.00625,0.00625,-45.00000,\"Confirmed\",0.01250\r\n"
                               "-Frequencies\r\n"
                               "\"01-00x0\",\"v\",1,1,1\r\n"
                               "\"01-5000\",\"v\",1,1,1\r\n"
                               "\"01-0007\",\"v\",1,1,many\r\n"
                               "\"01-0008\",\"v\",1,1,2\r\n");
    auto d = NewDecoder();
    Identify(*d);

    EXPECT_EQ(d->Talkgroups().TalkgroupCount(), 2);
    EXPECT_EQ(Talkgroup(*d, 105).description, "good");
    EXPECT_EQ(Talkgroup(*d, 106).priority, 20);
    EXPECT_EQ(d->Radios().RadioCount(), 1);
    EXPECT_EQ(d->Radios().GetRadioText(6), "good");

    IdentifierEntry ids[IdentifierTable::kCount];
    d->Identifiers().CopyIdentifiers(ids, IdentifierTable::kCount);
    EXPECT_FALSE(ids[1].assumed);
    EXPECT_TRUE(ids[3].assumed);
    const std::vector<FreqInfo> ch = Channels(*d);
    ASSERT_EQ(ch.size(), 1u);
    EXPECT_EQ(ch[0].channel, 0x1008);
    EXPECT_EQ(ch[0].hits, 2);
}

TEST_F(SystemFilesFaultsTest, GarbageNeverStopsTheDecoder)
{
    // Random lines of the characters that matter to the readers, as every kind of file.
    std::mt19937 rng(12345);
    const std::string alphabet = "0123456789,,,\"\"\"--#;:acdiptvFileVrsonTowerInfoTablesFrequencies \t\r\n\xff";
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += alphabet[rng() % alphabet.size()];
    for (const char* prefix :
         {"", "FileVersion:1\r\n", "FileVersion:2\r\n-Tables\r\n", "FileVersion:5\r\n-Frequencies\r\n"}) {
        for (const char* name : {"TalkGroups.txt", "Radios.txt", "Tower0105.txt", "System.ini"})
            WriteText(name, prefix + text);
        auto d = NewDecoder();
        Identify(*d);
        EXPECT_TRUE(SaveSystemData(*d));
    }
}

TEST_F(SystemFilesFaultsTest, AFailedWriteLeavesTheOldFileWhole)
{
    const std::string oldText =
        "FileVersion:5\r\n105,50,\"old\",1240322820,\"x\",0,\"Unknown\",\"#000000\",\"#000000\"\r\n";
    WriteText("TalkGroups.txt", oldText);
    auto d = NewDecoder();
    Identify(*d);
    for (int32_t id = 1000; id < 1200; ++id)
        d->Talkgroups().SetTalkgroup(id, "a talkgroup with a fairly long name", 50, 0);
    {
        FileSizeLimit full(4096);  // the talkgroup file needs about 20 KB
        EXPECT_FALSE(SaveSystemData(*d));
    }
    EXPECT_EQ(ReadStored("TalkGroups.txt"), oldText);
    EXPECT_EQ(FilesInFolder(), 4);  // the small files were written, no temporary file is left

    EXPECT_TRUE(SaveSystemData(*d));
    EXPECT_NE(ReadStored("TalkGroups.txt").find("1199,50,"), std::string::npos);
}

TEST_F(SystemFilesFaultsTest, WriteFileAtomicallyFailsCleanly)
{
    EXPECT_FALSE(WriteFileAtomically(root + "missing/file.txt", "text"));
    EXPECT_FALSE(std::filesystem::exists(root + "missing"));

    // Renaming over a folder fails: the folder and its content stay, no temporary file is left.
    std::filesystem::create_directories(root + "dir/inner");
    EXPECT_FALSE(WriteFileAtomically(root + "dir", "text"));
    EXPECT_TRUE(std::filesystem::is_directory(root + "dir/inner"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root), std::filesystem::directory_iterator()), 1);

    ASSERT_TRUE(WriteFileAtomically(root + "f.txt", "one\r\n"));
    std::filesystem::permissions(root + "f.txt", std::filesystem::perms::owner_read);
    ASSERT_TRUE(WriteFileAtomically(root + "f.txt", "two\r\n"));
    EXPECT_EQ(ReadFile(root + "f.txt"), "two\r\n");
    EXPECT_EQ(std::filesystem::status(root + "f.txt").permissions(), std::filesystem::perms::owner_read);
}

}  // namespace

namespace {

TEST_F(SystemFilesFaultsTest, OutOfRangeValuesAreRefusedWhenRead)
{
    const std::string tail = ",\"04/21/2009 @ 14:07\",0,\"Unknown\",\"#000000\",\"#000000\"\r\n";
    WriteText("TalkGroups.txt",
              "FileVersion:5\r\n"
              "101,99,\"lowest priority\",1240322820" +
                  tail + "102,100,\"priority 100\",1240322820" + tail + "103,254,\"priority 254\",1240322820" + tail +
                  "104,255,\"keep\",1240322820" + tail + "105,50,\"seen before 1970\",-5" + tail +
                  "106,50,\"first seen before 1970\",1240322820,\"x\",-1,\"x\",\"#000000\",\"#000000\"\r\n"
                  "65535,50,\"last talkgroup\",1240322820" +
                  tail + "65536,50,\"beyond 16 bits\",1240322820" + tail);
    WriteText("Radios.txt", "FileVersion:4\r\n"
                            "16777215,\"last radio id\",1240322820,\"x\",\"#000000\",\"#000000\"\r\n"
                            "16777216,\"beyond 24 bits\",1240322820,\"x\",\"#000000\",\"#000000\"\r\n"
                            "7,\"seen before 1970\",-1,\"x\",\"#000000\",\"#000000\"\r\n");
    WriteText("System.ini", "[Towers]\r\n4294967295=Wrapped\r\n25599=RFSS 255 site 99\r\n25600=RFSS 256\r\n");
    auto d = NewDecoder();
    Identify(*d);

    std::vector<int32_t> ids;
    for (const TGTAG& t : Talkgroups(*d))
        ids.push_back(t.id);
    EXPECT_EQ(ids, (std::vector<int32_t>{101, 104, 65535}));
    std::vector<int32_t> radios;
    for (const RADTAG& r : Radios(*d))
        radios.push_back(r.id);
    EXPECT_EQ(radios, std::vector<int32_t>{16777215});
    EXPECT_EQ(d->Towers().Count(), 1);
    EXPECT_EQ(d->Towers().GetTowerName(255, 99), "RFSS 255 site 99");

    ASSERT_TRUE(SaveSystemData(*d));
    EXPECT_EQ(ReadStored("System.ini").find("-1="), std::string::npos);
    EXPECT_NE(ReadStored("System.ini").find("25599=RFSS 255 site 99\r\n"), std::string::npos);
}

// The table holds the whole id space: a file of every talkgroup reads and saves all of them.
TEST_F(SystemFilesFaultsTest, EveryTalkgroupFrom1To65535LoadsAndSaves)
{
    std::string text = "FileVersion:5\r\n";
    for (int id = 1; id <= 65535; ++id)
        text += std::to_string(id) + ",50,\"tg\",1240322820,\"x\",0,\"Unknown\",\"#000000\",\"#000000\"\r\n";
    WriteText("TalkGroups.txt", text);
    auto d = NewDecoder();
    Identify(*d);
    EXPECT_EQ(d->Talkgroups().TalkgroupCount(), 65535);
    ASSERT_TRUE(SaveSystemData(*d));
    EXPECT_NE(ReadStored("TalkGroups.txt").find("\r\n65535,50,\"tg\""), std::string::npos);
}

// A save that cannot write a file says which and why, and leaves the old file whole.
TEST_F(SystemFilesFaultsTest, AFailedSaveNamesTheFileAndTheReason)
{
    const std::string oldText =
        "FileVersion:5\r\n105,50,\"old\",1240322820,\"x\",0,\"Unknown\",\"#000000\",\"#000000\"\r\n";
    WriteText("TalkGroups.txt", oldText);
    auto d = NewDecoder();
    std::vector<StoreNotice> notices;
    SetStoreNotices(*d, [&notices](const StoreNotice& n) { notices.push_back(n); });
    Identify(*d);
    for (int32_t id = 1000; id < 1200; ++id)
        d->Talkgroups().SetTalkgroup(id, "a talkgroup with a fairly long name", 50, 0);
    {
        FileSizeLimit full(4096);
        EXPECT_FALSE(SaveSystemData(*d));
    }
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].kind, StoreNotice::Kind::NotSaved);
    EXPECT_EQ(notices[0].path, Folder() + "TalkGroups.txt");
    EXPECT_EQ(notices[0].reason, "File too large");
    EXPECT_EQ(ReadStored("TalkGroups.txt"), oldText);
}

}  // namespace
