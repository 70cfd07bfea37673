#include "scancontrol/ScannerProfile.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <system_error>
#include <utility>

#include "platform/IniFile.h"

namespace {

constexpr const char* kScannerSection = "Scanner";
constexpr const char* kCommandsSection = "Commands";

std::string Lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

int32_t ToInt32(int64_t value)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

void ReadLineSettings(const IniFile& ini, ScannerProfile& p)
{
    p.description = ini.ReadString(kScannerSection, "Description", "");
    p.dataBits = ToInt32(ini.ReadInteger(kScannerSection, "PortBits", p.dataBits));
    p.parity = ini.ReadString(kScannerSection, "PortParity", p.parity);
    p.stopBits = ToInt32(ini.ReadInteger(kScannerSection, "PortStop", p.stopBits));
    if (ini.ValueExists(kScannerSection, "ForceSpeed")) {
        // A value with no number, zero or below would hang the line up (speed 0) or mean nothing:
        // the configured speed stays then.
        const int64_t speed = ini.ReadInteger(kScannerSection, "ForceSpeed", 0);
        if (speed > 0)
            p.forceSpeed = ToInt32(speed);
    }
}

void ReadTemplates(const IniFile& ini, ScannerProfile& p)
{
    p.init = ini.ReadString(kCommandsSection, "Init", "");
    p.scan = ini.ReadString(kCommandsSection, "Scan", "");
    p.manual = ini.ReadString(kCommandsSection, "Manual", "");
    p.quiet = ini.ReadString(kCommandsSection, "Quiet", "");
    const std::string common = ini.ReadString(kCommandsSection, "Active", "");
    for (int i = 0; i < ScannerProfile::kActiveCount; ++i)
        p.active[i] = ini.ReadString(kCommandsSection, ScannerProfile::kActiveKeys[i], common);
}

}  // namespace

bool ParseYesNo(std::string_view value)
{
    const std::string lower = Lower(value);
    return lower == "yes" || lower == "y";
}

ScannerProfile ScannerProfile::Read(const IniFile& ini)
{
    ScannerProfile p;
    ReadLineSettings(ini, p);
    // ByteSwap only counts together with GRECommands.
    if (ini.ValueExists(kCommandsSection, "GRECommands")) {
        p.binaryCommands = ParseYesNo(ini.ReadString(kCommandsSection, "GRECommands", ""));
        p.byteSwap = ParseYesNo(ini.ReadString(kCommandsSection, "ByteSwap", "No"));
    }
    if (!p.binaryCommands)
        ReadTemplates(ini, p);
    return p;
}

std::string ScannerProfile::Problem() const
{
    const auto tooLong = [](const char* key, const std::string& text) {
        return "its " + std::string(key) + " command is " + std::to_string(text.size()) + " characters long (at most " +
               std::to_string(kMaxTemplateLength) + ")";
    };
    const std::pair<const char*, const std::string*> templates[] = {
        {"Init", &init}, {"Scan", &scan}, {"Manual", &manual}, {"Quiet", &quiet}};
    for (const auto& [key, text] : templates)
        if (text->size() > kMaxTemplateLength)
            return tooLong(key, *text);
    for (int i = 0; i < kActiveCount; ++i)
        if (active[i].size() > kMaxTemplateLength)
            return tooLong(kActiveKeys[i], active[i]);
    return {};
}

bool QuietFrequencyValid(double mhz)
{
    constexpr double kLowest = 25.0;
    constexpr double kHighest = 1300.0;
    return mhz == 0.0 || (mhz >= kLowest && mhz <= kHighest);
}

const std::string& ScannerProfile::ActiveTemplate(double spacing) const
{
    for (int i = 0; i < kActiveCount; ++i) {
        if (spacing == kActiveSpacings[i])
            return active[i];
    }
    return active[kFallbackActive];
}

bool ScannerProfile::OddParity() const
{
    return Lower(parity) == "o";
}
bool ScannerProfile::EvenParity() const
{
    return Lower(parity) == "e";
}

std::optional<std::filesystem::path> FindProfileFile(const std::filesystem::path& folder, std::string_view name)
{
    namespace fs = std::filesystem;
    if (name.empty())
        return std::nullopt;
    std::error_code ec;
    const fs::path exact = folder / fs::path(name);
    if (fs::is_regular_file(exact, ec))
        return exact;
    // Only a bare file name is looked up without regard to case.
    if (fs::path(name).has_parent_path())
        return std::nullopt;
    const std::string wanted = Lower(name);
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (Lower(it->path().filename().string()) == wanted && it->is_regular_file(ec))
            return it->path();
    }
    return std::nullopt;
}
