#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

class IniFile;

// A scanner profile ("*.scanner" in the program folder): the controlled scanner's line settings
// and one command template per action. Section [Scanner] holds the line settings, section
// [Commands] the command style and the templates; a missing key takes its default.
struct ScannerProfile {
    static constexpr int kActiveCount = 8;
    // Channel spacings (MHz) of the active templates, compared exactly with a channel's spacing.
    static constexpr std::array<double, kActiveCount> kActiveSpacings{0.005,  0.00625, 0.0075, 0.01,
                                                                      0.0125, 0.025,   0.05,   0.1};
    static constexpr std::array<const char*, kActiveCount> kActiveKeys{
        "Active5", "Active6.25", "Active7.5", "Active10", "Active12.5", "Active25", "Active50", "Active100"};
    // The 12.5 kHz template also serves every spacing not in the list.
    static constexpr int kFallbackActive = 4;

    std::string description;                       // kept with the profile, sent nowhere
    int32_t dataBits = 8;                          // PortBits
    std::string parity = "N";                      // PortParity: "O" odd, "E" even (any case), else none
    int32_t stopBits = 1;                          // PortStop: 2 two stop bits, anything else one
    std::optional<int32_t> forceSpeed;             // ForceSpeed: replaces the configured speed
    bool binaryCommands = false;                   // GRECommands: fixed binary frames, no templates
    bool byteSwap = false;                         // ByteSwap: frequency most significant byte first
    std::string init, scan, manual, quiet;         // Init, Scan, Manual (kept, never sent), Quiet
    std::array<std::string, kActiveCount> active;  // Active5 .. Active100, default Active

    // A profile file is a few hundred bytes; a template a few dozen characters. Anything far
    // beyond is not a profile, and expanding it on every tune would stall the window.
    static constexpr size_t kMaxFileBytes = size_t{1} << 20;
    static constexpr size_t kMaxTemplateLength = 4096;

    // Reads every key with its default from an INI already loaded.
    static ScannerProfile Read(const IniFile& ini);

    // Empty when the profile can be used; else why not (a template longer than
    // kMaxTemplateLength, named by its key).
    std::string Problem() const;

    // The active template for a channel spacing in MHz.
    const std::string& ActiveTemplate(double spacing) const;

    // Whether the parity letter selects odd or even parity.
    bool OddParity() const;
    bool EvenParity() const;
    bool TwoStopBits() const { return stopBits == 2; }
};

// Whether a quiet frequency (MHz) can be used: 0 ("scan", no quiet frequency) or 25 to 1,300 MHz.
bool QuietFrequencyValid(double mhz);

// A yes/no value: yes when, in lower case, it is "yes" or "y"; anything else is no.
bool ParseYesNo(std::string_view value);

// The profile file named `name` in `folder`: the exact name when it exists, otherwise a file in
// that folder whose name matches regardless of case (settings written on systems whose file
// names ignore case name "BC250D.Scanner" for "BC250D.scanner"). Nothing when neither exists.
std::optional<std::filesystem::path> FindProfileFile(const std::filesystem::path& folder, std::string_view name);
