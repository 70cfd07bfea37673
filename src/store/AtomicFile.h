#pragma once

#include <string>
#include <string_view>

// Replaces a file whole: the text goes to a temporary file in the same folder, which is flushed to
// the disk and then renamed over the old file. A crash or a full disk never leaves a truncated or
// mixed file, and on any failure the old file stays as it was (and the temporary file is removed).
// Returns whether the new file is in place.
bool WriteFileAtomically(const std::string& path, std::string_view text);
