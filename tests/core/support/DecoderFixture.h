#pragma once

// A decoder with every presentation switch on and the site already identified (system 0x123,
// RFSS 1, site 5, service class 0x70), so blocks pass the start-up filter and reach their
// handlers. Helpers decode a block and read back what it left in the pending buffers.

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "decoder/P25Class.h"
#include "support/BlockBuilder.h"

namespace testsupport {

class DecoderFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        decoder = std::make_unique<P25Class>(clock);
        PresentationSwitches s;
        s.packetDump = true;
        s.recordUnknowns = true;
        s.eventLog = true;
        s.grantLog = true;
        s.logProtection = true;
        decoder->SetSwitches(s);
        decoder->SetSiteIdentity(kSystem, kRfss, 0x70, kSite);
        DrainAll();
    }

    // Decodes bytes 0..9 of a block (CRC added); returns what DecodeTsbk answered.
    int Decode(std::initializer_list<uint8_t> bytes0to9) { return decoder->DecodeTsbk(MakeTsbk(bytes0to9)); }

    // Pending entries of each buffer since the last call (clear markers as "<clear>").
    std::vector<std::string> DumpTexts()
    {
        std::vector<ALLPKT> e(PacketDump::kCapacity);
        return Texts(e, decoder->Dump().CopyPacketDump(e.data(), PacketDump::kCapacity));
    }
    std::vector<std::string> EventTexts()
    {
        std::vector<EVENTLOG> e(EventLog::kCapacity);
        return Texts(e, decoder->Events().CopyEventLog(e.data(), EventLog::kCapacity));
    }
    std::vector<std::string> UnknownTexts()
    {
        std::vector<UNKTSBK> e(UnknownPackets::kCapacity);
        return Texts(e, decoder->Unknowns().CopyUnknownPackets(e.data(), UnknownPackets::kCapacity));
    }
    std::vector<GRANTLOG> GrantEntries()
    {
        std::vector<GRANTLOG> e(GrantLog::kCapacity);
        e.resize(static_cast<size_t>(decoder->Grants().CopyGrantLog(e.data(), GrantLog::kCapacity)));
        return e;
    }
    std::vector<AFFLOG> AffiliationEntries()
    {
        std::vector<AFFLOG> e(AffiliationLog::kCapacity);
        e.resize(static_cast<size_t>(decoder->AffLog().CopyAffiliationLog(e.data(), AffiliationLog::kCapacity)));
        return e;
    }
    std::vector<FreqInfo> Channels()
    {
        std::vector<FreqInfo> e(ChannelTable::kCapacity);
        e.resize(static_cast<size_t>(decoder->Channels().CopyChannels(e.data(), ChannelTable::kCapacity)));
        return e;
    }
    // The channel line of a channel number, or nullptr.
    const FreqInfo* Line(const std::vector<FreqInfo>& lines, int32_t channel)
    {
        for (const FreqInfo& f : lines)
            if (f.channel == channel)
                return &f;
        return nullptr;
    }

    void DrainAll()
    {
        DumpTexts();
        EventTexts();
        UnknownTexts();
        GrantEntries();
        AffiliationEntries();
    }

    static constexpr uint32_t kSystem = 0x123;
    static constexpr uint32_t kRfss = 1;
    static constexpr uint32_t kSite = 5;

    ManualClock clock;
    std::unique_ptr<P25Class> decoder;

private:
    template <class Entry>
    static std::vector<std::string> Texts(const std::vector<Entry>& e, int n)
    {
        std::vector<std::string> out;
        for (int i = 0; i < n; ++i)
            out.push_back(e[static_cast<size_t>(i)].time == 0 ? "<clear>" : e[static_cast<size_t>(i)].text);
        return out;
    }
};

}  // namespace testsupport
