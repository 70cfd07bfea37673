#include "platform/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr mode_t kNewFileMode = 0644;

bool WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        text.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

std::string ResolveTarget(const std::string& path)
{
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        const fs::path target = fs::canonical(path, ec);
        if (!ec)
            return target.string();
    }
    return path;
}

mode_t ExistingModeOr(const std::string& path, mode_t fallback)
{
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : fallback;
}

// Makes the rename itself durable: the folder's entry must reach the disk too.
void SyncFolder(const fs::path& folder)
{
    const int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0)
        return;
    ::fsync(dfd);
    ::close(dfd);
}

// Temporary files are named "<file>.varnel-tmp-<pid>-XXXXXX". The process number lets a later
// writer tell the leftover of a writer that died part way (killed, crashed) from the file of one
// still at work, and remove it: crashes never pile up copies of the file in its folder.
constexpr std::string_view kTempTag = ".varnel-tmp-";
constexpr size_t kTempSuffixLength = 6;  // as mkstemp fills in
constexpr int kNameAttempts = 100;

std::string TempPrefix(const std::string& target)
{
    return target + std::string(kTempTag) + std::to_string(::getpid()) + "-";
}

bool IsDeadWritersTemp(std::string_view name, std::string_view base)
{
    if (name.substr(0, base.size()) != base || name.substr(base.size(), kTempTag.size()) != kTempTag)
        return false;
    name.remove_prefix(base.size() + kTempTag.size());
    const size_t dash = name.find('-');
    if (dash == std::string_view::npos || name.size() - dash - 1 != kTempSuffixLength)
        return false;
    pid_t pid = 0;
    const auto [end, ec] = std::from_chars(name.data(), name.data() + dash, pid);
    if (ec != std::errc() || end != name.data() + dash || pid <= 0)
        return false;
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

void RemoveDeadWritersTemps(const std::string& target)
{
    const fs::path t(target);
    const std::string base = t.filename().string();
    std::error_code ec;
    fs::directory_iterator it(t.parent_path().empty() ? fs::path(".") : t.parent_path(), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code ignored;
        if (IsDeadWritersTemp(it->path().filename().string(), base))
            fs::remove(it->path(), ignored);
    }
}

// An unnamed file in the target's folder (O_TMPFILE): nothing shows in the folder while the text
// is written, so a writer killed then leaves nothing behind. -1 where the file system has none.
int OpenUnnamed(const std::string& target)
{
#ifdef O_TMPFILE
    const fs::path folder = fs::path(target).parent_path();
    return ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
#else
    (void)target;
    return -1;
#endif
}

// Gives the finished unnamed file its temporary name, just before the rename.
bool NameUnnamed(int fd, const std::string& prefix, std::string& temp)
{
    const std::string proc = "/proc/self/fd/" + std::to_string(fd);
    static std::atomic<uint32_t> counter{0};
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%06x", (counter++ * 2654435761u) & 0xFFFFFFu);
        temp = prefix + suffix;
        if (::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view text, std::optional<mode_t> mode)
{
    if (path.empty()) {
        errno = ENOENT;
        return false;
    }
    const std::string target = ResolveTarget(path);
    RemoveDeadWritersTemps(target);
    const mode_t fileMode = mode ? *mode : ExistingModeOr(target, kNewFileMode);
    // The temporary file lives in the same folder so the rename never crosses file systems.
    std::string temp = TempPrefix(target) + "XXXXXX";
    int fd = OpenUnnamed(target);
    const bool unnamed = fd >= 0;
    if (!unnamed)
        fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    int error = 0;  // the first failure: what the caller is told
    const auto check = [&error](bool ok) {
        if (!ok && error == 0)
            error = errno;
        return ok;
    };
    bool ok = check(::fchmod(fd, fileMode) == 0) && check(WriteAll(fd, text)) && check(::fsync(fd) == 0);
    bool named = !unnamed;  // whether `temp` is in the folder and must go on failure
    bool renamed = false;
    if (ok && unnamed) {
        // Named and renamed in two system calls in a row: the temporary name shows that briefly
        // only (a writer killed just then leaves it to the next write of this file to remove).
        ok = named = check(NameUnnamed(fd, TempPrefix(target), temp));
        ok = ok && (renamed = check(::rename(temp.c_str(), target.c_str()) == 0));
    }
    // Once renamed the new file is in place whatever close says (its text was synced already).
    ok = (check(::close(fd) == 0) || renamed) && ok;
    if (ok && !renamed)
        ok = check(::rename(temp.c_str(), target.c_str()) == 0);
    if (!ok) {
        if (named)
            ::unlink(temp.c_str());
        errno = error != 0 ? error : EIO;
        return false;
    }
    SyncFolder(fs::path(target).parent_path());
    return true;
}
