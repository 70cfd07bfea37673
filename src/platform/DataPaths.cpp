#include "platform/DataPaths.h"

#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* kDataSubfolder = "share/varnel";
constexpr const char* kDemoCapture = "demo/demo-capture.txt";
constexpr const char* kProfiles = "profiles";
constexpr const char* kDemoCaptureVariable = "VARNEL_DEMO_CAPTURE";

std::string WithSlash(const fs::path& folder)
{
    std::string s = folder.lexically_normal().string();
    if (!s.empty() && s.back() != '/')
        s += '/';
    return s;
}

bool IsFolder(const fs::path& p)
{
    std::error_code ec;
    return fs::is_directory(p, ec);
}

}  // namespace

fs::path RunningExecutableFolder(const char* argv0)
{
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && self.is_absolute())
        return self.parent_path();
    if (argv0 == nullptr || *argv0 == '\0')
        return {};
    const fs::path exe = fs::absolute(argv0, ec);
    return ec ? fs::path() : exe.parent_path();
}

std::string InstalledDataFolder(const fs::path& exeFolder)
{
    if (exeFolder.empty())
        return {};
    for (const fs::path& candidate : {exeFolder / ".." / kDataSubfolder, exeFolder / kDataSubfolder}) {
        if (IsFolder(candidate))
            return WithSlash(candidate);
    }
    return {};
}

bool IsInstalledLayout(const fs::path& exeFolder)
{
    const fs::path folder = exeFolder.lexically_normal();
    const fs::path name = folder.has_filename() ? folder.filename() : folder.parent_path().filename();
    return name == "bin" && IsFolder(exeFolder / ".." / kDataSubfolder);
}

std::string DemoCaptureFile(const fs::path& exeFolder)
{
    if (const char* path = std::getenv(kDemoCaptureVariable); path != nullptr && *path != '\0')
        return path;
    const std::string data = InstalledDataFolder(exeFolder);
    if (!data.empty())
        return data + kDemoCapture;
    return (exeFolder / ".." / kDataSubfolder / kDemoCapture).lexically_normal().string();
}

std::string ExampleProfileFolder(const fs::path& exeFolder)
{
    const std::string data = InstalledDataFolder(exeFolder);
    if (data.empty() || !IsFolder(data + kProfiles))
        return {};
    return data + kProfiles + "/";
}

std::string ExampleProfileFolder()
{
    return ExampleProfileFolder(RunningExecutableFolder());
}
