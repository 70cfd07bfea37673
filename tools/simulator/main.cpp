// varnel-sim: a scanner on a pseudo-terminal, for trying Varnel without a radio.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>

#include "session/ScannerSimulator.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int)
{
    g_stop = 1;
}

int Usage(const char* error)
{
    if (error)
        std::fprintf(stderr, "varnel-sim: %s\n", error);
    std::fprintf(stderr, "usage: varnel-sim --capture FILE [--type 0|1|2|3] [--rate BLOCKS_PER_SECOND]\n"
                         "                  [--loop] [--exit-when-done] [--link PATH] [--start-delay MS] [--burst MS]\n"
                         "Plays FILE (24 hex digits per block, or scanner lines) as the chosen scanner\n"
                         "type on a pseudo-terminal and prints the device path to open. A rate of 0\n"
                         "plays as fast as the reader takes the data. Runs until interrupted, or with\n"
                         "--exit-when-done until the capture has been played once. --burst MS writes the\n"
                         "lines that fell due together at most every MS milliseconds.\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    SimulatorOptions options;
    options.startDelay = std::chrono::milliseconds(300);
    std::string capture, link;
    bool exitWhenDone = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help")
            return Usage(nullptr);
        if (arg == "--loop") {
            options.loop = true;
            continue;
        }
        if (arg == "--exit-when-done") {
            exitWhenDone = true;
            continue;
        }
        if (arg != "--capture" && arg != "--type" && arg != "--rate" && arg != "--link" && arg != "--start-delay" &&
            arg != "--burst")
            return Usage(("unknown argument " + arg).c_str());
        if (i + 1 >= argc)
            return Usage(("missing value after " + arg).c_str());
        const char* v = argv[++i];
        if (arg == "--capture")
            capture = v;
        else if (arg == "--type")
            options.scannerType = std::atoi(v);
        else if (arg == "--rate")
            options.blocksPerSecond = std::atof(v);
        else if (arg == "--link")
            link = v;
        else if (arg == "--burst")
            options.burstInterval = std::chrono::milliseconds(std::atoi(v));
        else
            options.startDelay = std::chrono::milliseconds(std::atoi(v));
    }
    if (capture.empty())
        return Usage("no capture given");
    if (options.scannerType < 0 || options.scannerType > 3)
        return Usage("type must be 0 to 3");

    std::vector<SimItem> items;
    std::string error;
    if (!SimCapture::Load(capture, options.scannerType, items, error))
        return Usage(error.c_str());
    ScannerSimulator sim(options);
    if (!sim.Open())
        return Usage(sim.ErrorText().c_str());
    if (!link.empty()) {
        ::unlink(link.c_str());
        if (::symlink(sim.SlavePath().c_str(), link.c_str()) != 0)
            return Usage(("cannot link " + link + ": " + std::strerror(errno)).c_str());
    }
    std::printf("%s\n", link.empty() ? sim.SlavePath().c_str() : link.c_str());
    std::fflush(stdout);

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    sim.SetCapture(items);
    sim.Start();
    // Without --exit-when-done the port stays open after the capture (a type 0 scanner goes on
    // answering polls with "nothing"), so a reader does not see its device vanish.
    while (!g_stop && !(exitWhenDone && !options.loop && sim.ItemsSent() >= items.size()))
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    sim.Close();
    if (!link.empty())
        ::unlink(link.c_str());
    std::fprintf(stderr, "varnel-sim: %zu items sent\n", sim.ItemsSent());
    return 0;
}
