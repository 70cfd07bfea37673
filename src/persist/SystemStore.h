#pragma once

#include <cstdint>
#include <string>

class P25Class;

// The per-system folder "System%03X" in the program folder: System.ini, TalkGroups.txt,
// Radios.txt and one tower file per site. What the decoder learns about a system is written there
// and read back whenever the system and site are identified.

// "<program folder>System1A3/" for system 0x1A3.
std::string SystemFolder(const std::string& programFolder, uint32_t systemId);

// Writes the folder of the current system (created when missing) and the tower file of the current
// site. Does nothing unless the system ID is not 0 and the RFSS or the site is not 0 (and a program
// folder is set). The decoder state is taken under "SYSINFOLOCK", so an identity change cannot
// slip between the files; the files are written after the locks are released, each replaced
// whole. A file that cannot be written is skipped and keeps its old contents. Returns whether
// every file was written.
bool SaveSystemData(P25Class& decoder);

// Reads the folder of the current system over the current state: System.ini, TalkGroups.txt,
// Radios.txt and the tower file of the current RFSS and site, whichever exist. Does nothing under
// the condition of SaveSystemData or when the folder does not exist. Takes "SYSINFOLOCK" (callers
// on an identity change hold it already) and the other areas' locks inside it.
void LoadSystemData(P25Class& decoder);

// Makes the decoder read the per-system folders of its program folder whenever a system and site
// are identified (LoadSystemData).
void AttachSystemStore(P25Class& decoder);
