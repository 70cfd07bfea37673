#include "platform/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kChunk = 65536;

RegularFileRead Failed(std::string reason)
{
    return {RegularFileRead::Status::Failed, std::move(reason)};
}

// Closes the descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) { }
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

RegularFileRead OpenFailure(const std::string& path, int error)
{
    if (error != ENOENT)
        return Failed(ErrorText(error));
    // open() follows links: ENOENT for a link whose target is missing. The link itself is
    // something the user made, not an absent file.
    struct stat st { };
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
        return Failed("a link to a file that does not exist");
    return {RegularFileRead::Status::Missing, {}};
}

std::string TooLarge(size_t maxBytes)
{
    return "larger than " + std::to_string(maxBytes) + " bytes";
}

RegularFileRead ReadAll(int fd, size_t maxBytes, std::string& text)
{
    for (;;) {
        const size_t room = maxBytes + 1 - text.size();  // one byte more tells a file too large
        const size_t want = room < kChunk ? room : kChunk;
        const size_t old = text.size();
        text.resize(old + want);
        const ssize_t n = ::read(fd, text.data() + old, want);
        if (n < 0) {
            text.resize(old);
            if (errno == EINTR)
                continue;
            return Failed(ErrorText(errno));
        }
        text.resize(old + static_cast<size_t>(n));
        if (n == 0)
            return {RegularFileRead::Status::Read, {}};
        if (text.size() > maxBytes)
            return Failed(TooLarge(maxBytes));
    }
}

}  // namespace

std::string ErrorText(int error)
{
    char buffer[256];
    // The GNU strerror_r returns the text, which may or may not be in the buffer.
    return ::strerror_r(error, buffer, sizeof buffer);
}

RegularFileRead ReadRegularFile(const std::string& path, size_t maxBytes, std::string& text)
{
    text.clear();
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.Get() < 0)
        return OpenFailure(path, errno);
    struct stat st { };
    if (::fstat(file.Get(), &st) != 0)
        return Failed(ErrorText(errno));
    if (S_ISDIR(st.st_mode))
        return Failed("a folder, not a file");
    if (!S_ISREG(st.st_mode))
        return Failed("not a regular file");
    if (static_cast<unsigned long long>(st.st_size) > maxBytes)
        return Failed(TooLarge(maxBytes));
    try {
        text.reserve(static_cast<size_t>(st.st_size) + 1);
        RegularFileRead result = ReadAll(file.Get(), maxBytes, text);
        if (!result.Read())
            text.clear();
        return result;
    } catch (const std::bad_alloc&) {
        text.clear();
        return Failed("not enough memory to read it");
    }
}
