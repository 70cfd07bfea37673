#include "persist/LogFormat.h"

#include <cstdio>

#include "platform/Clock.h"

namespace {

// Entries come many to a second; the local-time conversion is the costly part, so the text of
// the last second is kept per thread.
const std::string& CachedTimeStamp(int64_t unixTime)
{
    thread_local int64_t lastTime = -1;
    thread_local std::string lastText;
    if (unixTime != lastTime) {
        const std::tm t = Clock::Local(unixTime);
        char text[32];
        std::snprintf(text, sizeof text, "%02d/%02d %02d:%02d:%02d", t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min,
                      t.tm_sec);
        lastText = text;
        lastTime = unixTime;
    }
    return lastText;
}

void AppendPacketData(std::string& out, const Tsbk& block)
{
    static const char kHex[] = "0123456789ABCDEF";
    // Written in place: a replay prints a row per block.
    const size_t at = out.size();
    out.resize(at + 3 * static_cast<size_t>(kTsbkSize));
    char* p = out.data() + at;
    for (uint8_t b : block) {
        *p++ = kHex[b >> 4];
        *p++ = kHex[b & 0x0F];
        *p++ = ' ';
    }
}

}  // namespace

std::string TimeStampText(int64_t unixTime)
{
    return CachedTimeStamp(unixTime);
}

std::string PacketDataText(const Tsbk& block)
{
    std::string text;
    text.reserve(3 * kTsbkSize);
    AppendPacketData(text, block);
    return text;
}

void AppendDumpRow(std::string& out, const BlockLogEntry& entry)
{
    out += "  ";
    AppendPacketData(out, entry.block);
    out += ' ';
    out += CachedTimeStamp(entry.time);
    out += ' ';
    out += entry.text;
    out += '\n';
}

std::string DumpRowText(const BlockLogEntry& entry)
{
    return DumpRowText(PacketDataText(entry.block), TimeStampText(entry.time), entry.text);
}

std::string DumpRowText(std::string_view packetData, std::string_view time, std::string_view description)
{
    std::string row = "  ";
    row.reserve(packetData.size() + time.size() + description.size() + 4);
    row += packetData;
    row += ' ';
    row += time;
    row += ' ';
    row += description;
    return row;
}
