// varnel-demogen: writes the demo capture that `varnel --demo` plays, six minutes of the control
// channel of one made-up county site, the same on every run.
//
//   varnel-demogen [OUTPUT]      (default data/demo/demo-capture.txt, from the repository root)

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "ControlChannel.h"
#include "DemoScenario.h"

namespace {

constexpr const char* kDefaultOutput = "data/demo/demo-capture.txt";

bool IsBlockLine(const std::string& line)
{
    return line.size() == 2 * kTsbkSize && line.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

std::vector<std::string> Header(const demo::ControlChannel& channel, size_t blockLines)
{
    std::vector<std::string> header{
        "# Varnel demo capture: the control channel of one P25 site, six minutes at 40 blocks a second.",
        "# System 1A3, WACN 92A5C, RFSS 1 site 5: a made-up county system on 800 and 700 MHz.",
        "# Written by varnel-demogen (tools/demogen) with a fixed seed; regenerate it, do not edit it.",
        "# One block per line as 24 hexadecimal digits; the few other lines are garbled on purpose.",
        "# Blocks: " + std::to_string(blockLines) + ". Messages of each kind:",
    };
    for (const auto& [kind, count] : channel.Counts()) {
        char line[128];
        std::snprintf(line, sizeof line, "# %6d  %s", count, kind.c_str());
        header.push_back(line);
    }
    return header;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 2 || (argc == 2 && std::string(argv[1]).rfind("-", 0) == 0)) {
        std::fprintf(stderr, "usage: varnel-demogen [OUTPUT]   (default %s)\n", kDefaultOutput);
        return 2;
    }
    const std::filesystem::path output = argc == 2 ? argv[1] : kDefaultOutput;

    demo::ControlChannel channel(demo::DemoScenario::kSeconds);
    demo::DemoScenario(channel).Plan();
    const std::vector<std::string> lines = channel.Play();
    size_t blockLines = 0;
    for (const std::string& line : lines)
        blockLines += IsBlockLine(line) ? 1 : 0;

    if (output.has_parent_path())
        std::filesystem::create_directories(output.parent_path());
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    for (const std::string& line : Header(channel, blockLines))
        file << line << '\n';
    for (const std::string& line : lines)
        file << line << '\n';
    file.close();
    if (!file) {
        std::fprintf(stderr, "varnel-demogen: cannot write %s\n", output.string().c_str());
        return 1;
    }
    for (const std::string& line : Header(channel, blockLines))
        std::cout << line.substr(2) << '\n';
    std::cout << "Wrote " << output.string() << '\n';
    return 0;
}
