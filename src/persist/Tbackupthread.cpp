#include "persist/Tbackupthread.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "persist/Settings.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSystemFolderPrefix = "System";
constexpr const char* kInnerBackupName = "backup";
constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kSecondsPerMinute = 60;
constexpr std::string_view kBlanks = " \t";

std::string DateText(const std::tm& date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", (date.tm_year + 1900) % 10000, (date.tm_mon + 1) % 100,
                  date.tm_mday % 100);
    return text;
}

std::string WithSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

// The system folders, in the order the file system lists them; a file of such a name is no
// system folder.
std::vector<std::string> SystemFolders(const std::string& programFolder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(programFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeEc;
        if (name.starts_with(kSystemFolderPrefix) && it->is_directory(typeEc))
            names.push_back(name);
    }
    return names;
}

}  // namespace

TBackup::TBackup(std::string programFolder, const Settings& settings, const Clock& clock)
    : programFolder_(WithSlash(std::move(programFolder))), backupPath_(settings.backupPath),
      addDate_(settings.backupAddDate), clock_(clock)
{ }

TBackup::~TBackup()
{
    Terminate();
    WaitFor();
}

void TBackup::SetEndCallback(std::function<void(const BackupResult&)> onEnd)
{
    onEnd_ = std::move(onEnd);
}

bool TBackup::Start()
{
    if (started_)
        return false;
    started_ = true;
    running_ = true;
    thread_ = std::jthread([this](std::stop_token stop) { Execute(stop); });
    return true;
}

void TBackup::Terminate()
{
    thread_.request_stop();
}

void TBackup::WaitFor()
{
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

std::string TBackup::BackupRoot(const std::string& backupPath, const std::string& programFolder)
{
    const auto first = backupPath.find_first_not_of(kBlanks);
    if (first == std::string::npos)
        return {};
    const auto last = backupPath.find_last_not_of(kBlanks);
    fs::path root = backupPath.substr(first, last - first + 1);
    // The program's working folder is arbitrary; its own folder is where the user's data lives.
    if (root.is_relative())
        root = fs::path(programFolder) / root;
    return WithSlash(root.string());
}

std::string TBackup::TargetFolder(const std::string& programFolder, const std::string& systemFolder,
                                  const std::string& root, bool addDate, const std::tm& date)
{
    if (root.empty()) {
        const std::string inner = addDate ? std::string(kInnerBackupName) + "-" + DateText(date) : kInnerBackupName;
        return WithSlash(programFolder) + systemFolder + "/" + inner;
    }
    return addDate ? root + DateText(date) + "/" + systemFolder : root + systemFolder;
}

void TBackup::Execute(std::stop_token stop)
{
    const std::tm date = Clock::Local(clock_.Now());  // one date for the whole backup
    const std::string root = BackupRoot(backupPath_, programFolder_);
    for (const std::string& name : SystemFolders(programFolder_)) {
        if (stop.stop_requested()) {
            result_.stopped = true;
            break;
        }
        ++result_.systemFolders;
        CopySystemFolder(name, root, date, stop);
    }
    running_ = false;
    if (onEnd_)
        onEnd_(result_);
}

void TBackup::CopySystemFolder(const std::string& name, const std::string& root, const std::tm& date,
                               std::stop_token& stop)
{
    const std::string target = TargetFolder(programFolder_, name, root, addDate_, date);
    std::error_code ec;
    fs::create_directories(target, ec);
    if (!fs::is_directory(target, ec)) {
        ++result_.failures;
        return;
    }
    for (fs::directory_iterator it(programFolder_ + name, ec), end; !ec && it != end; it.increment(ec)) {
        if (stop.stop_requested()) {
            result_.stopped = true;
            return;
        }
        std::error_code typeEc;
        if (!it->is_regular_file(typeEc))
            continue;  // subfolders (the backups too) and devices
        if (CopyFile(it->path().string(), target, it->path().filename().string()))
            ++result_.filesCopied;
        else
            ++result_.failures;
    }
}

// Copies into a temporary file beside the target and renames it over any earlier copy, which is
// replaced even when it was made read-only.
bool TBackup::CopyFile(const std::string& from, const std::string& folder, const std::string& name)
{
    const std::string to = folder + "/" + name;
    std::string tmp = to + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        return false;
    ::close(fd);
    std::error_code ec;
    if (!fs::copy_file(from, tmp, fs::copy_options::overwrite_existing, ec) || ::rename(tmp.c_str(), to.c_str()) != 0) {
        fs::remove(tmp, ec);
        return false;
    }
    return true;
}

bool BackupDue(const Settings& s, int64_t now)
{
    int64_t dueAfter = 0;
    // A LastBackup far in the future (a damaged file) must not wrap round into the past.
    if (__builtin_add_overflow(s.lastBackup, static_cast<int64_t>(s.backupDays) * kSecondsPerDay, &dueAfter))
        return s.lastBackup < 0;
    return dueAfter < now;
}

BackupCheck CheckBackupSchedule(const Settings& s, bool busy, int64_t now)
{
    const int64_t next = static_cast<int64_t>(s.backupCheckTime) * kSecondsPerMinute;
    if (busy || !s.backupEnabled)
        return {BackupAction::StopTimer, next};
    return {BackupDue(s, now) ? BackupAction::StartBackup : BackupAction::CheckLater, next};
}
