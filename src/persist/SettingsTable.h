#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "persist/Settings.h"

// How a setting is written in the file.
enum class SettingType {
    YesNo,         // "Yes"/"No"; only "yes" in any case reads as true
    Integer,       // decimal, leading digits as the platform's INI functions read them
    Float,         // shortest text that reads back to the same value
    Colour,        // "#RRGGBB"
    Text,          // as is
    Password,      // EncodePassword / DecodePassword
    ColumnWidths,  // Column0, Column1, ... of a whole section
    CustomColors,  // ColorA .. ColorP of a whole section
};

// What happens to a number outside [min, max] when it is read. ZeroOrElseDefault: 0 is taken
// too (a quiet frequency of 0 means "scan").
enum class LimitRule { None, Clamp, ElseDefault, ZeroOrElseDefault };

enum SettingFlag : unsigned {
    kCurrentDefault = 1u << 0,  // a missing key keeps the member's value
    kOnlyIfPresent = 1u << 1,   // same, for keys whose built-in value must survive a missing key
    kNeverWritten = 1u << 2,
    kIfSectionExists = 1u << 3,   // the key is read only when its section exists
    kScreenSizes = 1u << 4,       // read and written only while SaveScreenSizes is on
    kNotWhenMaximized = 1u << 5,  // window position and size: not written while maximized
    kScreenFont = 1u << 6,        // read only while UseGlobalFont is off
};

// Where a setting lives in Settings: a small accessor, so that nested members (one screen's
// font) are reached the same way as plain ones.
using SettingRef = std::variant<bool& (*)(Settings&), int& (*)(Settings&), int64_t& (*)(Settings&),
                                double& (*)(Settings&), uint32_t& (*)(Settings&), std::string& (*)(Settings&),
                                std::vector<int>& (*)(Settings&), std::array<std::string, 16>& (*)(Settings&)>;

// One key of the settings file. Loading and saving both walk the one table of these, so a key
// cannot be read under one name and written under another.
struct SettingEntry {
    const char* section;
    const char* key;  // unused for ColumnWidths and CustomColors
    SettingType type;
    const char* def;  // the default (or built-in initial value) as it is written in the file
    LimitRule rule;
    int64_t min;
    int64_t max;
    unsigned flags;
    SettingRef ref;
};

// Every key of the settings file, in the order it is read.
std::span<const SettingEntry> SettingsTable();
