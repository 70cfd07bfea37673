#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "site/ColorText.h"

namespace {

struct ToTextCase {
    uint32_t color;
    const char* text;
};

TEST(ColorToText, WritesRedGreenBlueFromLowMiddleHighByte)
{
    const ToTextCase cases[] = {
        {0x0000FF, "#FF0000"}, {0x00FF00, "#00FF00"},   {0xFF0000, "#0000FF"},
        {0x123456, "#563412"}, {0xAB123456, "#563412"},  // the top byte is not part of a colour
        {0x000000, "#000000"}, {0x0A0B0C, "#0C0B0A"},
    };
    for (const ToTextCase& c : cases)
        EXPECT_EQ(ColorToText(c.color), c.text) << std::hex << c.color;
}

struct FromTextCase {
    const char* text;
    uint32_t color;
};

TEST(ColorFromText, ReadsHexTripletsAndOtherwiseDecimal)
{
    const FromTextCase cases[] = {
        {"#FF0000", 0x0000FF},
        {"#00FF00", 0x00FF00},
        {"#0000ff", 0xFF0000},  // lower-case digits are hex too
        {"#563412", 0x123456},
        {"#GG00FF", 0xFF0000},  // an unreadable part counts as 0, the others still count
        {"#FFF", 0},            // not 7 characters: read as decimal, which fails
        {"#FF00001", 0},        // 8 characters: decimal as well
        {"16777215", 0xFFFFFF},
        {"255", 0x0000FF},
        {"-1", 0xFFFFFFFF},
        {"", 0},
        {"red", 0},
        {"99999999999", 0},  // outside 32 bits
    };
    for (const FromTextCase& c : cases)
        EXPECT_EQ(ColorFromText(c.text), c.color) << '"' << c.text << '"';
}

TEST(ColorText, RoundTripsEveryChannelValue)
{
    for (uint32_t v = 0; v < 256; v += 17) {
        const uint32_t color = v | ((255 - v) << 8) | ((v ^ 0x5A) << 16);
        EXPECT_EQ(ColorFromText(ColorToText(color)), color);
    }
}

}  // namespace
