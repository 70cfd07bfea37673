// The scanner's byte stream: the first byte picks the scanner type. Types 1 to 3 feed the rest
// through the line framer and judge every line; type 0 takes the rest as a run of poll replies,
// each preceded by its length byte, as the poll cycle collects them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "link/ScannerLineFramer.h"
#include "link/ScannerPollFrame.h"

namespace {

constexpr int kTypes = 4;

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

void FeedLines(int type, const uint8_t* data, size_t size)
{
    ScannerLineFramer framer(type);
    for (size_t i = 0; i < size; ++i) {
        if (!framer.Feed(data[i]))
            continue;
        Check(framer.Line().size() <= ScannerLineFramer::kLineBufferSize);
        const ScannerLine line = framer.JudgeLine();
        // A block comes only from a line the device's format accepts.
        Check(!line.hasBlock || line.reply);
    }
}

void ParseReplies(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> reply;
    while (size > 0) {
        const size_t length = data[0] % (ScannerPollFrame::kReplySize * 2);
        ++data;
        --size;
        const size_t take = length < size ? length : size;
        reply.assign(data, data + take);
        data += take;
        size -= take;
        Tsbk block{};
        const auto kind = ScannerPollFrame::ParseReply(reply.data(), reply.size(), block);
        if (kind != ScannerPollFrame::ReplyKind::kDropped)
            Check(reply.size() >= ScannerPollFrame::kReplySize);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const int type = data[0] % kTypes;
    if (type == 0)
        ParseReplies(data + 1, size - 1);
    else
        FeedLines(type, data + 1, size - 1);
    return 0;
}
