#include "app/NamesImportRun.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "persist/NamesImport.h"
#include "persist/RadioFile.h"
#include "persist/SystemStore.h"
#include "persist/TalkgroupFile.h"
#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"
#include "site/DecoderContext.h"
#include "site/RadioTable.h"
#include "site/TalkgroupTable.h"

namespace {

// A name list larger than this is not one (the whole talkgroup space with long names is a few MB).
constexpr size_t kMaxListBytes = size_t{512} << 20;
constexpr unsigned long kMaxSystemId = 0xFFF;

int Fail(const std::string& message)
{
    std::fprintf(stderr, "varnel: %s\n", message.c_str());
    return 2;
}

bool ParseSystemId(const std::string& text, uint32_t& id)
{
    std::string digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits.erase(0, 2);
    if (digits.empty() || digits.size() > 8 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    const unsigned long value = std::stoul(digits, nullptr, 16);
    if (value < 1 || value > kMaxSystemId)
        return false;
    id = static_cast<uint32_t>(value);
    return true;
}

// Loads the table's file, plans, prints, and writes with --yes.
template <class Table, class Load, class PlanOf, class Format>
int Import(const NamesImportOptions& options, const std::string& csv, const std::string& folder, const char* fileName,
           Table& table, Load load, PlanOf plan, Format format)
{
    const std::string path = folder + fileName;
    const RegularFileRead existing = load(path, table);
    if (existing.Failed())
        return Fail(path + " cannot be read (" + existing.reason + "); it is kept as it is and nothing is imported");
    const NamesImport::Plan p = plan(csv, table, options.replace);
    std::fputs(NamesImport::Summary(p).c_str(), stdout);
    if (!p.problem.empty() || p.rows.empty())
        return Fail("no row of " + options.file + " can be imported");
    if (p.Applicable() == 0) {
        std::printf("nothing to change in %s\n", path.c_str());
        return 0;
    }
    if (!options.yes) {
        std::printf("nothing written: add --yes to write %s\n", path.c_str());
        return 0;
    }
    NamesImport::Apply(p, table);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec)
        return Fail("cannot create " + folder + ": " + ec.message());
    if (!WriteFileAtomically(path, format(table)))
        return Fail("cannot write " + path + ": " + ErrorText(errno) + "; the file is unchanged");
    std::printf("written: %s\n", path.c_str());
    return 0;
}

}  // namespace

int RunNamesImport(const NamesImportOptions& options, const std::string& programFolder)
{
    uint32_t systemId = 0;
    if (!ParseSystemId(options.system, systemId))
        return Fail("--system needs a system ID in hexadecimal (1 to FFF), not \"" + options.system + "\"");
    std::string csv;
    const RegularFileRead read = ReadRegularFile(options.file, kMaxListBytes, csv);
    if (!read.Read())
        return Fail("cannot read " + options.file + ": " + (read.Failed() ? read.reason : std::string("no such file")));
    const std::string folder = SystemFolder(programFolder, systemId);
    DecoderContext ctx;
    if (options.radios) {
        RadioTable table(ctx);
        return Import(
            options, csv, folder, RadioFile::kFileName, table,
            [](const std::string& path, RadioTable& t) { return RadioFile::Load(path, t); },
            [](std::string_view text, RadioTable& t, bool replace) {
                return NamesImport::PlanRadios(text, t, replace);
            },
            [](RadioTable& t) { return RadioFile::Format(t); });
    }
    TalkgroupTable table(ctx);
    return Import(
        options, csv, folder, TalkgroupFile::kFileName, table,
        [](const std::string& path, TalkgroupTable& t) { return TalkgroupFile::Load(path, t); },
        [](std::string_view text, TalkgroupTable& t, bool replace) {
            return NamesImport::PlanTalkgroups(text, t, replace);
        },
        [](TalkgroupTable& t) { return TalkgroupFile::Format(t); });
}
