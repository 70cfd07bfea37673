#pragma once

#include <filesystem>
#include <string>

// The read-only data that comes with the program (the demo capture, the example scanner profiles)
// is found relative to the executable, so an installed tree works wherever it is moved:
//   <executable folder>/../share/varnel   an installed tree (bin/varnel beside share/varnel);
//   <executable folder>/share/varnel      the build tree, where the build stages the same files.
// No path of the machine that built the program is compiled in.

// The folder of the running executable (/proc/self/exe, symbolic links resolved), else the folder
// of `argv0`; empty when neither is known.
std::filesystem::path RunningExecutableFolder(const char* argv0 = nullptr);

// The program's data folder for an executable in `exeFolder`, ending with '/'; empty when neither
// place above holds it (an executable copied on its own).
std::string InstalledDataFolder(const std::filesystem::path& exeFolder);

// True when `exeFolder` is the "bin" folder of an installed tree: a folder named "bin" with
// ../share/varnel beside it. Such a folder is no place for settings even when it is writable.
bool IsInstalledLayout(const std::filesystem::path& exeFolder);

// The capture that --demo plays: $VARNEL_DEMO_CAPTURE when set and not empty, else
// demo/demo-capture.txt in the data folder. When there is no data folder, the path where an
// installed tree would hold it (so a message can name it).
std::string DemoCaptureFile(const std::filesystem::path& exeFolder);

// The folder of the example scanner profiles (profiles/ in the data folder), ending with '/';
// empty when there is no data folder.
std::string ExampleProfileFolder(const std::filesystem::path& exeFolder);
// The same for the running executable.
std::string ExampleProfileFolder();
