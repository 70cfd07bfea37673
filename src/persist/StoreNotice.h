#pragma once

#include <string>

// A problem with one file the program keeps (a per-system file, the settings file), for the
// owner to show: a headless run prints it on standard error, the window in its status line and
// event log.
struct StoreNotice {
    enum class Kind {
        Unreadable,  // exists but could not be read: kept as it is, not written until it reads
        NotSaved,    // could not be written: the old file stays whole
    };
    Kind kind = Kind::NotSaved;
    std::string path;
    std::string reason;

    // One line naming the file and the reason.
    std::string Text() const
    {
        if (kind == Kind::Unreadable)
            return "cannot read " + path + " (" + reason + "): kept as it is and not written until it can be read";
        return "cannot save " + path + ": " + reason + " (what was on disk is unchanged)";
    }
};
