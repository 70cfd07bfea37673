#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Version.h"
#include "app/HeadlessRun.h"
#include "app/NamesImportRun.h"
#include "platform/DataPaths.h"
#include "platform/FolderLock.h"
#include "platform/ProgramFolder.h"
#include "ui/mainwindow/DesktopProgram.h"

namespace {

constexpr int kHexScannerType = 4;  // ScannerLineFramer::kHexType

const char kUsage[] = "Usage:\n"
                      "  varnel [-DECODE] [--data-dir DIR] [--demo]\n"
                      "  varnel --headless [--data-dir DIR] [--port DEVICE | --replay FILE] [--scanner-type N]\n"
                      "                    [--realtime] [--dump] [--save] [--demo] [--events FILE|-]\n"
                      "                    [--mqtt mqtt[s]://[user[:password]@]host[:port]/prefix] [--mqtt-ca FILE]\n"
                      "                    [--mqtt-queue N] [--instance NAME] [--log-level error|warning|info|debug]\n"
                      "  varnel --import-names FILE.csv --system SYSID [--radios] [--replace] [--yes]\n"
                      "                        [--data-dir DIR]\n"
                      "  varnel --version | --help\n"
                      "  --save-every N (with --replay): also writes the per-system files after every N blocks\n"
                      "                 replayed and reports each save on standard error (for soak tests)\n"
                      "  --scanner-type N: 0, 1, 2, 3, or hex (a bare block of 24 hex digits a line; a replay\n"
                      "                 of such a capture is recognised without it)\n"
                      "  --events FILE|-: the event feed as JSON Lines (docs/events.md), '-' for standard output\n"
                      "  --mqtt URL: publishes the event feed to an MQTT broker (docs/deployment.md); the password\n"
                      "                 may also come from the environment variable VARNEL_MQTT_PASSWORD\n"
                      "  --import-names: names from a CSV list (columns found by header: Decimal/DEC/Talkgroup,\n"
                      "                 Hex, Alpha Tag, Description, Priority; with --radios: Radio ID/Unit,\n"
                      "                 Alias, Description) into System<SYSID>/TalkGroups.txt (or Radios.txt).\n"
                      "                 Prints the counts and every rejected line; writes only with --yes;\n"
                      "                 --replace also replaces names the entries have already. Exit status 0\n"
                      "                 when the list has a usable row, 2 when it has none or cannot be read\n";

int BadArguments(const std::string& message)
{
    std::fprintf(stderr, "varnel: %s (see varnel --help)\n", message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    HeadlessOptions options;
    options.demoCapture = DemoCaptureFile(RunningExecutableFolder(argv[0]));
    bool headless = false;
    bool importNames = false;
    NamesImportOptions import;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--version") {
            std::printf("Varnel %s\n", VARNEL_VERSION);
            return 0;
        } else if (arg == "--headless") {
            headless = true;
        } else if (arg == "--data-dir") {
            if (!value(options.dataDir))
                return BadArguments("--data-dir needs a folder");
        } else if (arg == "--port") {
            if (!value(options.port))
                return BadArguments("--port needs a device");
        } else if (arg == "--replay") {
            if (!value(options.replayFile))
                return BadArguments("--replay needs a file");
        } else if (arg == "--scanner-type") {
            std::string text;
            if (!value(text))
                return BadArguments("--scanner-type needs 0, 1, 2 or 3, or hex for a capture of bare blocks");
            if (text == "hex")
                options.scannerType = kHexScannerType;
            else if (text.size() == 1 && text[0] >= '0' && text[0] <= '3')
                options.scannerType = text[0] - '0';
            else
                return BadArguments("--scanner-type needs 0, 1, 2 or 3, or hex for a capture of bare blocks");
        } else if (arg == "--events") {
            if (!value(options.eventsFile) || options.eventsFile.empty())
                return BadArguments("--events needs a file, or - for standard output");
        } else if (arg == "--mqtt") {
            if (!value(options.mqttUrl) || options.mqttUrl.empty())
                return BadArguments("--mqtt needs an address mqtt://host/prefix");
        } else if (arg == "--mqtt-ca") {
            if (!value(options.mqttCa) || options.mqttCa.empty())
                return BadArguments("--mqtt-ca needs a file");
        } else if (arg == "--mqtt-queue") {
            std::string text;
            char* end = nullptr;
            if (!value(text) || (options.mqttQueue = std::strtoll(text.c_str(), &end, 10)) <= 0 || *end != '\0')
                return BadArguments("--mqtt-queue needs a number of messages");
        } else if (arg == "--instance") {
            if (!value(options.instance) || options.instance.empty() ||
                options.instance.find_first_of("/+#") != std::string::npos)
                return BadArguments("--instance needs a name without '/', '+' or '#'");
        } else if (arg == "--log-level") {
            if (!value(options.logLevel))
                return BadArguments("--log-level needs error, warning, info or debug");
        } else if (arg == "--realtime") {
            options.realtime = true;
        } else if (arg == "--dump") {
            options.dump = true;
        } else if (arg == "--save") {
            options.save = true;
        } else if (arg == "--save-every") {
            std::string text;
            char* end = nullptr;
            if (!value(text) || (options.saveEvery = std::strtoll(text.c_str(), &end, 10)) <= 0 || *end != '\0')
                return BadArguments("--save-every needs a number of blocks");
        } else if (arg == "--demo") {
            options.demo = true;
        } else if (arg == "--import-names") {
            importNames = true;
            if (!value(import.file))
                return BadArguments("--import-names needs a CSV file");
        } else if (arg == "--system") {
            if (!value(import.system))
                return BadArguments("--system needs a system ID");
        } else if (arg == "--radios") {
            import.radios = true;
        } else if (arg == "--replace") {
            import.replace = true;
        } else if (arg == "--yes") {
            import.yes = true;
        } else if (strcasecmp(arg.c_str(), "-DECODE") == 0) {
            // Starts a decode session at once in the desktop program; a headless run always does.
        } else {
            return BadArguments("unknown argument " + arg);
        }
    }
    if (!options.port.empty() && !options.replayFile.empty())
        return BadArguments("--port and --replay exclude each other");
    if (options.demo && (!options.port.empty() || !options.replayFile.empty()))
        return BadArguments("--demo excludes --port and --replay");
    if (options.saveEvery > 0 && options.replayFile.empty())
        return BadArguments("--save-every needs --replay");
    if (options.realtime && options.replayFile.empty())
        return BadArguments("--realtime paces a --replay");
    if (importNames && import.system.empty())
        return BadArguments("--import-names needs --system SYSID");
    if (!importNames && (!import.system.empty() || import.radios || import.replace || import.yes))
        return BadArguments("--system, --radios, --replace and --yes go with --import-names");
    if (importNames && headless)
        return BadArguments("--import-names excludes --headless");

    if (!options.mqttCa.empty() && options.mqttUrl.empty())
        return BadArguments("--mqtt-ca needs --mqtt");
    const bool serviceOption = !options.eventsFile.empty() || !options.mqttUrl.empty() || !options.instance.empty();
    if (!headless && serviceOption)
        return BadArguments("--events, --mqtt and --instance need --headless");

    // A write past the file size limit fails with EFBIG and is reported like a full disk,
    // instead of killing the program before it can say so.
    std::signal(SIGXFSZ, SIG_IGN);

    // One program per folder, decided before either front end touches a file there.
    FolderLock folderLock;
    const std::string folder = ChooseProgramFolder(options.dataDir, argv[0]);
    if (!folder.empty()) {
        options.dataDir = folder;
        if (folderLock.Take(folder) == FolderLock::Outcome::Held) {
            const std::string text = FolderLock::InUseText(folder, folderLock.HolderPid());
            std::fprintf(stderr, "varnel: %s\n", text.c_str());
            return headless || importNames ? 2 : RefuseDesktopStart(argc, argv, text);
        }
    }
    if (importNames)
        return RunNamesImport(import, options.dataDir);

    if (!headless) {
        DesktopOptions desktop;
        desktop.dataDir = options.dataDir;
        desktop.demo = options.demo;
        desktop.demoCapture = options.demoCapture;
        return RunDesktop(argc, argv, desktop);
    }
    return RunHeadless(options, argv[0]);
}
