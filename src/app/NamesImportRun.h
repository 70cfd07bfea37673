#pragma once

#include <string>

// `varnel --import-names FILE.csv --system SYSID ...`: names from a CSV list into the talkgroup
// (or radio) file of one system folder, for scripts.
struct NamesImportOptions {
    std::string file;      // the CSV list
    std::string system;    // the system ID in hexadecimal, as in the folder name "System<SYSID>"
    bool radios = false;   // --radios: into Radios.txt instead of TalkGroups.txt
    bool replace = false;  // --replace: names the entries have already are replaced too
    bool yes = false;      // --yes: write; without it only the preview is printed
};

// Prints the preview (counts, then every rejected line with its number and reason) on standard
// output and, with --yes, writes the file whole. `programFolder` ends with '/' and is held by
// the caller's folder lock. Returns 0 when the list had at least one usable row (applied, to be
// applied, or already in place), 2 when it has none or cannot be read, or the system's file
// cannot be read or written (a message on standard error).
int RunNamesImport(const NamesImportOptions& options, const std::string& programFolder);
