#pragma once

// A decoder whose program folder is a fresh temporary folder (removed after each test), with a
// manual clock at 21 Apr 2009 14:07:00 UTC, and helpers to put files into a system folder and
// read them back.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "decoder/P25Class.h"
#include "persist/SystemStore.h"
#include "platform/NamedLock.h"

namespace testsupport {

class SystemFolderFixture : public ::testing::Test {
protected:
    static constexpr uint32_t kSystem = 0x1A3;
    static constexpr uint32_t kRfss = 1;
    static constexpr uint32_t kSite = 5;
    static constexpr uint8_t kServiceClass = 0x70;

    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
        std::string pattern = (std::filesystem::temp_directory_path() / "varnel-sysfiles-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern + "/";
    }

    void TearDown() override
    {
        EXPECT_EQ(NamedLock::HeldCount(), 0);
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }

    // A decoder on the temporary program folder, hits saved or not.
    std::unique_ptr<P25Class> NewDecoder(bool saveHits = true)
    {
        auto d = std::make_unique<P25Class>(clock, root);
        AttachSystemStore(*d);
        PresentationSwitches s;
        s.saveHits = saveHits;
        d->SetSwitches(s);
        return d;
    }

    // Identifies the system and site, which reads the stored files.
    static void Identify(P25Class& d, uint32_t rfss = kRfss, uint32_t site = kSite)
    {
        d.SetSiteIdentity(kSystem, rfss, kServiceClass, site);
    }

    std::string Folder() const { return SystemFolder(root, kSystem); }

    void WriteText(const std::string& name, const std::string& text)
    {
        std::filesystem::create_directories(Folder());
        std::ofstream(Folder() + name, std::ios::binary) << text;
    }

    // Copies tests/fixtures/systemfiles/<fixture> into the system folder as <name>.
    void PlaceFixture(const std::string& fixture, const std::string& name)
    {
        const std::string text = ReadFile(std::string(VARNEL_TEST_DATA) + "/systemfiles/" + fixture);
        ASSERT_FALSE(text.empty()) << fixture;
        WriteText(name, text);
    }

    static std::string ReadFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string ReadStored(const std::string& name) const { return ReadFile(Folder() + name); }

    // Reading the decoder state back (copies, taken under the areas' locks).
    static std::vector<TGTAG> Talkgroups(P25Class& d)
    {
        LockGuard g(d.Talkgroups().Lock());
        std::vector<TGTAG> out;
        for (int i = 0; i < d.Talkgroups().TalkgroupCount(); ++i)
            out.push_back(d.Talkgroups().At(i));
        return out;
    }
    static TGTAG Talkgroup(P25Class& d, int32_t id)
    {
        for (const TGTAG& t : Talkgroups(d))
            if (t.id == id)
                return t;
        return TGTAG{};
    }
    static std::vector<RADTAG> Radios(P25Class& d)
    {
        LockGuard g(d.Radios().Lock());
        std::vector<RADTAG> out;
        for (int i = 0; i < d.Radios().RadioCount(); ++i)
            out.push_back(d.Radios().At(i));
        return out;
    }
    static std::vector<FILTERRANGE> Ranges(P25Class& d)
    {
        std::vector<FILTERRANGE> out(AffiliationFilter::kCapacity);
        out.resize(static_cast<size_t>(d.Filter().CopyFilterRanges(out.data(), AffiliationFilter::kCapacity)));
        return out;
    }
    static std::vector<FreqInfo> Channels(P25Class& d)
    {
        std::vector<FreqInfo> out(ChannelTable::kCapacity);
        out.resize(static_cast<size_t>(d.Channels().CopyChannels(out.data(), ChannelTable::kCapacity)));
        return out;
    }
    static std::vector<IdentifierEntry> Identifiers(P25Class& d)
    {
        std::vector<IdentifierEntry> out(IdentifierTable::kCount);
        d.Identifiers().CopyIdentifiers(out.data(), IdentifierTable::kCount);
        return out;
    }
    static SystemInfo Info(P25Class& d)
    {
        SystemInfo info;
        d.CopySystemInfo(info);
        return info;
    }

    ManualClock clock{1240322820};
    std::string root;
};

}  // namespace testsupport
