// A scanner profile and its command templates. The input is the profile's INI text; every
// template it holds is expanded with frequencies taken from the profile's own numbers and with a
// handful of fixed ones (zero, a usual channel, a huge and a negative value).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/IniFile.h"
#include "scancontrol/CommandTemplate.h"
#include "scancontrol/ScannerProfile.h"

namespace {

constexpr TemplateValues kValueSets[] = {
    {0.0, 0.0, 0.0},
    {851.0125, 866.0, 0.0125},
    {1e300, -1e300, 1e-300},
    {-851.0125, 0.0, 0.00625},
};

void ExpandAll(const ScannerProfile& p, const TemplateValues& v)
{
    for (const std::string* t : {&p.init, &p.scan, &p.manual, &p.quiet})
        ExpandCommandTemplate(*t, v);
    for (const std::string& t : p.active)
        ExpandCommandTemplate(t, v);
    for (double spacing : ScannerProfile::kActiveSpacings)
        p.ActiveTemplate(spacing);
    p.ActiveTemplate(v.spacing);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    IniFile ini;
    ini.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const ScannerProfile p = ScannerProfile::Read(ini);
    p.OddParity();
    p.EvenParity();
    for (const TemplateValues& v : kValueSets)
        ExpandAll(p, v);
    const TemplateValues own{ini.ReadFloat("Fuzz", "Active", 0.0), ini.ReadFloat("Fuzz", "Quiet", 0.0),
                             ini.ReadFloat("Fuzz", "Spacing", 0.0)};
    ExpandAll(p, own);
    // The template itself as the whole input, tokens and all.
    ExpandCommandTemplate(std::string_view(reinterpret_cast<const char*>(data), size), kValueSets[1]);
    return 0;
}
