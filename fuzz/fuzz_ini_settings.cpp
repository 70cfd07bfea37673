// INI text and the settings read from it. The text is parsed; what Text() writes must parse to
// the same text again (a save followed by a load changes nothing); then every setting is loaded
// from it (in memory: the INI has no path, so a version upgrade writes nowhere) and written back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "decoder/P25Class.h"
#include "persist/Settings.h"
#include "platform/IniFile.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    IniFile ini;
    ini.Parse(text);
    const std::string written = ini.Text();
    IniFile again;
    again.Parse(written);
    Check(again.Text() == written);

    for (const std::string& section : ini.ReadSections())
        for (const std::string& key : ini.ReadSection(section)) {
            Check(ini.ValueExists(section, key));
            ini.ReadInteger(section, key, 0);
            ini.ReadFloat(section, key, 0.0);
            ini.ReadBool(section, key, false);
        }

    Settings s;
    LoadSettings(ini, s);
    SaveSettings(ini, s);
    Settings reread = s;
    LoadSettings(ini, reread);
    DecoderSwitches(s);
    return 0;
}
