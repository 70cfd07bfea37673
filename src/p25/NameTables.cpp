#include "p25/NameTables.h"

#include <array>
#include <cstdio>
#include <utility>

namespace {

using CodeText = std::pair<int, const char*>;

constexpr std::array<CodeText, 28> kManufacturers{{
    {0x00, "Standard"},
    {0x10, "Relm/BK"},
    {0x20, "Cycomm"},
    {0x28, "Efratom"},
    {0x30, "Com-Net Ericsson"},
    {0x38, "Datron"},
    {0x40, "Icom"},
    {0x48, "Garmin"},
    {0x50, "GTE"},
    {0x55, "IFR Systems"},
    {0x60, "GEC-Marconi"},
    {0x68, "Kenwood Communications"},
    {0x70, "Glenayre Electronics"},
    {0x74, "Japan Radio Co."},
    {0x78, "Kokusai"},
    {0x7C, "Maxon"},
    {0x80, "Midland"},
    {0x86, "Daniels Electronics Ltd."},
    {0x90, "Motorola"},
    {0xA0, "Thales"},
    {0xA4, "M/A-COM"},
    {0xB0, "Raytheon"},
    {0xC0, "SEA"},
    {0xC8, "Securicor"},
    {0xD0, "ADI"},
    {0xD8, "Tait Electronics"},
    {0xE0, "Teletec"},
    {0xF0, "Transcrypt International"},
}};

// 0x2B and 0x2D share the name "Location Registration".
constexpr std::array<CodeText, 22> kServiceTypes{{
    {0x00, "Group Voice Grant"},
    {0x02, "Group Grant Update"},
    {0x03, "Explicit Group Grant Update"},
    {0x04, "Unit to Unit Voice Grant"},
    {0x05, "Unit to Unit Answer Request"},
    {0x06, "Unit-Unit Grant Update"},
    {0x07, "Unit to Unit Explicit Voice Grant"},
    {0x08, "Telephone Voice Grant"},
    {0x09, "Telephone Voice Grant Update"},
    {0x10, "Unit to Unit Data Grant"},
    {0x11, "Group Data Grant"},
    {0x12, "Group Data Grant Update"},
    {0x14, "Group Data Grant Explicit"},
    {0x1E, "Radio Monitor"},
    {0x1F, "Call Alert"},
    {0x24, "Radio Check/Detach/Inhibit/UnInhibit"},
    {0x27, "Deny Response"},
    {0x28, "Group Affiliation"},
    {0x2B, "Location Registration"},
    {0x2C, "Unit Registration"},
    {0x2D, "Location Registration"},
    {0x38, "System Services Broadcast"},
}};

// Searched from the first pair; the first match wins.
constexpr std::array<CodeText, 20> kReasons{{
    {0x10, "the requesting unit is not valid"},
    {0x11, "the requesting unit is not authorized for this service"},
    {0x20, "the target unit is not valid"},
    {0x21, "the target unit is not authorized for this service"},
    {0x2F, "target unit has refused this call"},
    {0x30, "the target group is not valid"},
    {0x31, "the target group is not authorized for this service"},
    {0x40, "invalid dialing"},
    {0x41, "telephone number is not authorized"},
    {0x42, "PSTN address is not valid"},
    {0x50, "call time-out has occurred"},
    {0x51, "landline has terminated this call"},
    {0x52, "subscriber unit has terminated this call"},
    {0x5F, "call has been pre-empted"},
    {0x60, "site access denial"},
    {0xF0, "the call options are not valid for this service"},
    {0xF1, "protection service option is not valid"},
    {0xF2, "duplex service option is not valid"},
    {0xF3, "circuit or packet mode service option is not valid"},
    {0xFF, "the system does not support this service"},
}};

// Index = bit number (bit 0 = 0x01).
constexpr std::array<const char*, 8> kServiceClassBits{
    "Composite control channel",
    "No service requests/update control channel only",
    "Backup control channel only",
    "Reserved(*)",
    "Data",
    "Voice",
    "Registration",
    "Authentication",
};

// Index = opcode; nullptr where a multi-block summary has no name for the carried opcode.
// "Incomming" is the spelling the screens and saved logs have always shown; keep it.
constexpr std::array<const char*, 64> kOpcodeSummaries{
    /* 0x00 */ "(Group Voice Grant)",
    /* 0x01 */ nullptr,
    /* 0x02 */ "(Group Voice Grant Update)",
    /* 0x03 */ "(Group Voice Grant Explicit)",
    /* 0x04 */ "(Unit-Unit Voice Grant)",
    /* 0x05 */ "(Unit-Unit Answer Request)",
    /* 0x06 */ "(Unit-Unit Voice Grant Update)",
    /* 0x07 */ "(Unit-Unit Voice Grant Explicit)",
    /* 0x08 */ "(Telephone Voice Grant)",
    /* 0x09 */ "(Telephone Voice Grant Update)",
    /* 0x0A */ "(Telephone Incomming Request)",
    /* 0x0B */ nullptr,
    /* 0x0C */ nullptr,
    /* 0x0D */ nullptr,
    /* 0x0E */ nullptr,
    /* 0x0F */ nullptr,
    /* 0x10 */ "(Individual Data Channel Grant)",
    /* 0x11 */ "(Group Data Channel Grant)",
    /* 0x12 */ nullptr,
    /* 0x13 */ nullptr,
    /* 0x14 */ nullptr,
    /* 0x15 */ nullptr,
    /* 0x16 */ nullptr,
    /* 0x17 */ nullptr,
    /* 0x18 */ "(Status Update)",
    /* 0x19 */ nullptr,
    /* 0x1A */ "(Status Query)",
    /* 0x1B */ nullptr,
    /* 0x1C */ "(Message Update)",
    /* 0x1D */ "(Radio Unit Monitor Command)",
    /* 0x1E */ nullptr,
    /* 0x1F */ "(Call Alert)",
    /* 0x20 */ "(ACK Response)",
    /* 0x21 */ "(Queued Response)",
    /* 0x22 */ nullptr,
    /* 0x23 */ nullptr,
    /* 0x24 */ "(Extended Function Command)",
    /* 0x25 */ nullptr,
    /* 0x26 */ nullptr,
    /* 0x27 */ "(Deny Response)",
    /* 0x28 */ "(Group Affiliation Response)",
    /* 0x29 */ nullptr,
    /* 0x2A */ "(Group Affiliation Query)",
    /* 0x2B */ "(Location Registration Response)",
    /* 0x2C */ "(Unit Registration Response)",
    /* 0x2D */ "(Unit Registration Command)",
    /* 0x2E */ "(Unit Authentication Command)",
    /* 0x2F */ "(De-Registration Ack)",
    /* 0x30 */ nullptr,
    /* 0x31 */ nullptr,
    /* 0x32 */ nullptr,
    /* 0x33 */ nullptr,
    /* 0x34 */ "(Identifier Update)",
    /* 0x35 */ nullptr,
    /* 0x36 */ "(Roaming Address Command)",
    /* 0x37 */ "(Roaming Address Update)",
    /* 0x38 */ "(System Service Broadcast)",
    /* 0x39 */ "(Secondary Control Channel Broadcast)",
    /* 0x3A */ "(RFSS Status Broadcast)",
    /* 0x3B */ "(Network Status Broadcast)",
    /* 0x3C */ "(Neighbor Status Broadcast)",
    /* 0x3D */ "(Identifier Update)",
    /* 0x3E */ "(Protection Parameter Broadcast)",
    /* 0x3F */ "(Protection Parameter Update)",
};

template <size_t N>
const char* Find(const std::array<CodeText, N>& table, int code)
{
    for (const auto& [c, text] : table) {
        if (c == code)
            return text;
    }
    return nullptr;
}

}  // namespace

const char* ManufacturerName(uint8_t mfid)
{
    const char* name = Find(kManufacturers, mfid);
    return name ? name : "Unknown";
}

std::string ManufacturerSuffix(uint8_t mfid)
{
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(mfid));
    return std::string(" Mfg ") + hex + "(" + ManufacturerName(mfid) + ")";
}

std::string ServiceTypeName(int code)
{
    if (const char* name = Find(kServiceTypes, code))
        return name;
    char buf[32];
    std::snprintf(buf, sizeof buf, "Unknown Code 0x%02x", static_cast<unsigned>(code));
    return buf;
}

void ReasonText(int code, char* buf, size_t size)
{
    if (buf == nullptr || size == 0)
        return;
    const char* text = Find(kReasons, code);
    std::snprintf(buf, size, "%s", text ? text : "reserved");
}

std::string ReasonText(int code)
{
    const char* text = Find(kReasons, code);
    return text ? text : "reserved";
}

std::string ServiceClassText(uint8_t serviceClass)
{
    if (serviceClass == 0)
        return "None Advertised";
    std::string out;
    for (size_t bit = 0; bit < kServiceClassBits.size(); ++bit) {
        if ((serviceClass & (1u << bit)) == 0)
            continue;
        if (!out.empty())
            out += ',';
        out += kServiceClassBits[bit];
    }
    return out;
}

const char* OpcodeSummaryName(int opcode)
{
    if (opcode < 0 || opcode >= static_cast<int>(kOpcodeSummaries.size()))
        return "(Unknown)";
    const char* name = kOpcodeSummaries[static_cast<size_t>(opcode)];
    return name ? name : "(Unknown)";
}
