// The port search of TCommPort: which serial devices this machine has.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <utility>

#include "link/TCommPort.h"

namespace fs = std::filesystem;

namespace {

// "ttyUSB12" -> ("ttyUSB", 12); a name without a trailing number gets -1.
std::pair<std::string, long> SplitName(const std::string& name)
{
    size_t end = name.size();
    while (end > 0 && name[end - 1] >= '0' && name[end - 1] <= '9')
        --end;
    if (end == name.size() || name.size() - end > 9)
        return {name, -1};
    return {name.substr(0, end), std::stol(name.substr(end))};
}

// The 8250 driver registers every ttyS line whether a UART sits behind it or not; only lines
// whose UART type is known are real ports.
bool IsRealUart(const fs::path& classEntry)
{
    std::ifstream typeFile(classEntry / "type");
    int type = 0;
    return typeFile && (typeFile >> type) && type != 0;
}

// The links under /dev/serial/by-id that lead to one of the `count` devices found (`device(i)`),
// by link name. Their names follow the adapter (maker, model, serial number), not the order in
// which the adapters were plugged in, so a stored link name finds the same scanner after a reboot.
template <typename DeviceAt>
std::vector<std::string> StableLinks(const std::string& devRoot, size_t count, DeviceAt device)
{
    std::error_code ec;
    std::vector<fs::path> targets;
    for (size_t i = 0; i < count; ++i) {
        fs::path target = fs::canonical(device(i), ec);
        if (!ec)
            targets.push_back(std::move(target));
    }
    std::vector<std::string> links;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(devRoot) / "serial" / "by-id", ec)) {
        const fs::path target = fs::canonical(entry.path(), ec);
        if (ec) {
            ec.clear();
            continue;  // a dangling link
        }
        if (std::find(targets.begin(), targets.end(), target) != targets.end())
            links.push_back(entry.path().string());
    }
    std::sort(links.begin(), links.end());
    return links;
}

}  // namespace

std::vector<std::string> TCommPort::ListPorts(const std::string& sysRoot, const std::string& devRoot)
{
    struct Found {
        bool onBoard;
        std::string prefix;
        long number;
        std::string path;
    };
    std::vector<Found> found;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(sysRoot, ec)) {
        const std::string name = entry.path().filename().string();
        // Virtual terminals, the console and pseudo-terminals have no device behind them.
        if (!fs::exists(entry.path() / "device", ec))
            continue;
        auto [prefix, number] = SplitName(name);
        bool onBoard = prefix == "ttyS";
        if (onBoard && !IsRealUart(entry.path()))
            continue;
        fs::path device = fs::path(devRoot) / name;
        if (!fs::exists(device, ec))
            continue;
        found.push_back({onBoard, prefix, number, device.string()});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return std::make_tuple(!a.onBoard, a.prefix, a.number) < std::make_tuple(!b.onBoard, b.prefix, b.number);
    });
    std::vector<std::string> paths = StableLinks(devRoot, found.size(), [&](size_t i) { return found[i].path; });
    for (const Found& f : found)
        paths.push_back(f.path);
    return paths;
}

void TCommPort::SetSearchRoots(std::string sysRoot, std::string devRoot)
{
    searchSysRoot_ = std::move(sysRoot);
    searchDevRoot_ = std::move(devRoot);
}

int TCommPort::FindFirstPort()
{
    if (IsOpen())
        return -2;
    searchPosition_ = 0;
    searchList_ = ListPorts(searchSysRoot_, searchDevRoot_);
    return FindNextPort();
}

int TCommPort::FindNextPort()
{
    if (IsOpen())
        return -2;
    if (searchPosition_ == 0 && searchList_.empty())
        searchList_ = ListPorts(searchSysRoot_, searchDevRoot_);
    while (++searchPosition_ <= static_cast<int32_t>(searchList_.size())) {
        SetPortName(searchList_[searchPosition_ - 1]);
        if (Open()) {
            Close();
            return searchPosition_;
        }
        // Present but held by another program: still a port the user may choose.
        if (IsAccessDenied(lastError_))
            return searchPosition_;
    }
    searchPosition_ = static_cast<int32_t>(searchList_.size()) + 1;
    return -1;
}
