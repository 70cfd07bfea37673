#pragma once

// A decoder on an identified site (see DecoderFixture) with a snapshot of everything the system
// and site broadcasts change, for the broadcast handler and adjacent-site tests.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "decoder/P25Class.h"
#include "support/DecoderFixture.h"

namespace sitetest {

// Channels used below, with their frequencies under the built-in 800 MHz plan of identifier 0.
constexpr int32_t kCh100 = 0x0064;  // 0-0100(851.63125)
constexpr int32_t kCh200 = 0x00C8;  // 0-0200(852.25625)
constexpr int32_t kIden1Ch16 = 0x1010;
constexpr int32_t kIden2Ch16 = 0x2010;

// Everything the site broadcasts can change, read back through the copy-out operations.
struct Snapshot {
    SystemInfo info;
    std::array<IdentifierEntry, IdentifierTable::kCount> ids{};
    std::vector<FreqInfo> channels;
    std::vector<NeighborSite> neighbors;
    std::vector<std::string> events;

    const FreqInfo* Line(int32_t channel) const
    {
        for (const FreqInfo& f : channels)
            if (f.channel == channel)
                return &f;
        return nullptr;
    }
};

class SiteBroadcastTest : public testsupport::DecoderFixture {
protected:
    Snapshot Take()
    {
        Snapshot s;
        decoder->CopySystemInfo(s.info);
        decoder->Identifiers().CopyIdentifiers(s.ids.data(), IdentifierTable::kCount);
        s.channels = Channels();
        s.neighbors.resize(NeighborTable::kCapacity);
        s.neighbors.resize(
            static_cast<size_t>(decoder->Neighbors().CopyNeighbors(s.neighbors.data(), NeighborTable::kCapacity)));
        s.events = EventTexts();
        return s;
    }

    // An adjacent status broadcast: status nibble, 12-bit system, RFSS, site, control channel.
    int DecodeNeighbor(int status, int system, int rfss, int site, int32_t channel = kCh200)
    {
        return Decode({0x3C, 0x00, 0x00, static_cast<uint8_t>(status << 4 | system >> 8),
                       static_cast<uint8_t>(system & 0xFF), static_cast<uint8_t>(rfss), static_cast<uint8_t>(site),
                       static_cast<uint8_t>(channel >> 8), static_cast<uint8_t>(channel & 0xFF), 0x70});
    }
};

inline void ExpectNeighbor(const NeighborSite& n, int system, int rfss, int site, int status, const std::string& name)
{
    EXPECT_EQ(n.systemId, system);
    EXPECT_EQ(n.rfssId, rfss);
    EXPECT_EQ(n.siteId, site);
    EXPECT_EQ(n.status, status);
    EXPECT_EQ(n.name, name);
}

}  // namespace sitetest
