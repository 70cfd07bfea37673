#include "platform/FolderLock.h"

#include <cerrno>
#include <charconv>
#include <string_view>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/RegularFile.h"

namespace {

constexpr mode_t kLockFileMode = 0644;
// O_NONBLOCK: a FIFO put in the lock file's place must not hold the start in open().
constexpr int kOpenFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;

std::string LockPath(const std::string& folder)
{
    std::string path = folder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + FolderLock::kFileName;
}

pid_t ReadPid(int fd)
{
    char text[32] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    if (n <= 0)
        return 0;
    pid_t pid = 0;
    const std::string_view view(text, static_cast<size_t>(n));
    const auto [end, ec] = std::from_chars(view.data(), view.data() + view.size(), pid);
    return ec == std::errc() && pid > 0 ? pid : 0;
}

void WritePid(int fd)
{
    const std::string text = std::to_string(::getpid()) + "\n";
    // Only a note for the message of a second program: a failure changes nothing.
    if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, text.data(), text.size(), 0) < 0)
        return;
}

}  // namespace

FolderLock::~FolderLock()
{
    Release();
}

FolderLock::Outcome FolderLock::Take(const std::string& folder)
{
    Release();
    const std::string path = LockPath(folder);
    bool writable = true;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | kOpenFlags, kLockFileMode);
    if (fd < 0) {
        // A folder this process may not write to can still hold a lock file made by another user.
        writable = false;
        fd = ::open(path.c_str(), O_RDONLY | kOpenFlags);
    }
    if (fd < 0) {
        reason_ = ErrorText(errno);
        return Outcome::Unavailable;
    }
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        reason_ = path + " is not a regular file";
        return Outcome::Unavailable;
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        const int error = errno;
        if (error == EWOULDBLOCK)
            holder_ = ReadPid(fd);
        ::close(fd);
        if (error == EWOULDBLOCK)
            return Outcome::Held;
        reason_ = ErrorText(error);
        return Outcome::Unavailable;
    }
    fd_ = fd;
    if (writable)
        WritePid(fd_);
    return Outcome::Taken;
}

void FolderLock::Release()
{
    if (fd_ >= 0)
        ::close(fd_);  // closing the last descriptor releases the lock
    fd_ = -1;
}

std::string FolderLock::InUseText(const std::string& folder, pid_t holder)
{
    const std::string who =
        holder > 0 ? "another Varnel (process " + std::to_string(holder) + ")" : std::string("another Varnel");
    return "The data folder " + folder + " is in use by " + who +
           ". To run a second instance (for a second scanner on another system), give it a folder of its own: "
           "varnel --data-dir DIR";
}
