#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "support/DecoderFixture.h"

namespace testsupport {

// One block of a handler family: its ten payload bytes, whether the decoder recognises it, and
// what it writes into the packet dump and the event log.
struct DescriptionCase {
    const char* name;
    std::array<uint8_t, 10> bytes;
    int recognised;
    std::vector<std::string> dump;
    std::vector<std::string> events;
};

// Runs the case of the parameter through the decoder, with the two screens switched as a test asks.
class DescriptionCaseFixture : public DecoderFixture, public ::testing::WithParamInterface<DescriptionCase> {
protected:
    int DecodeCase()
    {
        const auto& b = GetParam().bytes;
        return Decode({b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9]});
    }
    void SetDumpAndEvents(bool dump, bool events)
    {
        PresentationSwitches s = decoder->Switches();
        s.packetDump = dump;
        s.eventLog = events;
        decoder->SetSwitches(s);
    }
};

}  // namespace testsupport
