#pragma once

#include <string>

// The folder that holds the settings file, the per-system folders, the scanner profiles and the
// log files, chosen once at start:
//   1. `dataDirArg` (--data-dir) when not empty, else $VARNEL_HOME when set and not empty;
//   2. else the executable's folder (from argv0, or /proc/self/exe for a bare name) when writable,
//      as a portable copy expects, but not the bin folder of an installed tree (see DataPaths.h);
//   3. else $XDG_DATA_HOME/varnel (an absolute $XDG_DATA_HOME only), else ~/.local/share/varnel.
// The folder is created when missing. The result is absolute and ends with '/'. An empty string
// means no folder could be found or created.
std::string ChooseProgramFolder(const std::string& dataDirArg, const char* argv0);

// The program's file name (argv0's last component, "varnel" when unknown) with ".INI" appended,
// in `programFolder`: e.g. "/home/me/.local/share/varnel/varnel.INI".
std::string SettingsFilePath(const std::string& programFolder, const char* argv0 = nullptr);
