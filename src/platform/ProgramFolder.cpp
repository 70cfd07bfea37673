#include "platform/ProgramFolder.h"

#include "platform/DataPaths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* kProgramName = "varnel";
constexpr const char* kSettingsExtension = ".INI";

std::string EnvOrEmpty(const char* name)
{
    const char* v = std::getenv(name);
    return v == nullptr ? std::string() : std::string(v);
}

// Absolute, created when missing, ending with '/'; empty when it cannot be made a folder.
std::string Prepare(const fs::path& folder)
{
    std::error_code ec;
    fs::path p = fs::absolute(folder, ec);
    if (ec)
        return {};
    fs::create_directories(p, ec);
    if (!fs::is_directory(p, ec))
        return {};
    std::string s = p.lexically_normal().string();
    if (s.empty() || s.back() != '/')
        s += '/';
    return s;
}

fs::path ExecutableFolder(const char* argv0)
{
    std::error_code ec;
    const std::string arg = argv0 == nullptr ? std::string() : std::string(argv0);
    // A bare name was found through PATH: only the kernel knows where the file is.
    if (arg.find('/') == std::string::npos) {
        const fs::path self = fs::read_symlink("/proc/self/exe", ec);
        return ec ? fs::path() : self.parent_path();
    }
    const fs::path exe = fs::absolute(arg, ec);
    return ec ? fs::path() : exe.parent_path();
}

fs::path UserDataFolder()
{
    const std::string xdg = EnvOrEmpty("XDG_DATA_HOME");
    if (!xdg.empty() && fs::path(xdg).is_absolute())
        return fs::path(xdg) / kProgramName;
    std::string home = EnvOrEmpty("HOME");
    if (home.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr)
            home = pw->pw_dir;
    }
    if (home.empty())
        return {};
    return fs::path(home) / ".local" / "share" / kProgramName;
}

}  // namespace

std::string ChooseProgramFolder(const std::string& dataDirArg, const char* argv0)
{
    if (!dataDirArg.empty())
        return Prepare(dataDirArg);
    if (const std::string home = EnvOrEmpty("VARNEL_HOME"); !home.empty())
        return Prepare(home);
    const fs::path exeFolder = ExecutableFolder(argv0);
    // An installed tree's bin folder is no portable copy, even for a user who may write to it.
    if (!exeFolder.empty() && ::access(exeFolder.c_str(), W_OK) == 0 && !IsInstalledLayout(exeFolder))
        return Prepare(exeFolder);
    const fs::path user = UserDataFolder();
    return user.empty() ? std::string() : Prepare(user);
}

std::string SettingsFilePath(const std::string& programFolder, const char* argv0)
{
    std::string name = argv0 == nullptr ? std::string() : fs::path(argv0).filename().string();
    if (name.empty())
        name = kProgramName;
    std::string folder = programFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder + name + kSettingsExtension;
}
