#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

// Replaces a file whole: the text goes to a temporary file in the same folder, which is flushed to
// the disk and then renamed over the old file (and the folder entry synced). A crash or a full
// disk never leaves a truncated or mixed file, and on any failure the old file stays as it was
// and the temporary file is removed. A path that is a symbolic link is written through to its
// target, so the link survives. The file gets `mode` when given; otherwise an existing file keeps
// its permissions and a new one is readable by all (0644). Returns whether the new file is in
// place; when not, errno says why (the first call that failed).
bool WriteFileAtomically(const std::string& path, std::string_view text, std::optional<mode_t> mode = std::nullopt);
