#pragma once

#include <string>
#include <sys/types.h>

// An exclusive lock on the program folder, held for the life of the program: two programs on one
// folder would overwrite each other's files. It is a flock() on the file "varnel.lock" in the
// folder, so the kernel releases it when the process ends in any way (even kill -9) and a stale
// file never locks anyone out. The holder writes its process id into the file for the message of
// the one refused.
class FolderLock {
public:
    static constexpr const char* kFileName = "varnel.lock";

    enum class Outcome {
        Taken,        // this process holds the folder
        Held,         // another process holds it (HolderPid, when it wrote it)
        Unavailable,  // no lock file can be opened there (e.g. a read-only folder): not locked
    };

    FolderLock() = default;
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // `folder` ends with '/' or not. Never blocks.
    Outcome Take(const std::string& folder);
    void Release();

    bool Owned() const { return fd_ >= 0; }
    // After Held: the other process's id, 0 when it could not be read.
    pid_t HolderPid() const { return holder_; }
    // After Unavailable: why.
    const std::string& Reason() const { return reason_; }

    // The message for the program that found the folder held.
    static std::string InUseText(const std::string& folder, pid_t holder);

private:
    int fd_ = -1;
    pid_t holder_ = 0;
    std::string reason_;
};
