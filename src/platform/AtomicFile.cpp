#include "platform/AtomicFile.h"

#include <cerrno>
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
    struct stat st {};
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

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view text, std::optional<mode_t> mode)
{
    if (path.empty())
        return false;
    const std::string target = ResolveTarget(path);
    // The temporary file lives in the same folder so the rename never crosses file systems.
    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    const mode_t fileMode = mode ? *mode : ExistingModeOr(target, kNewFileMode);
    bool ok = ::fchmod(fd, fileMode) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolder(fs::path(target).parent_path());
    return true;
}
