#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "persist/StoreNotice.h"

class P25Class;

// The per-system folder "System%03X" in the program folder: System.ini, TalkGroups.txt,
// TalkGroupUse.txt (calls and airtime per talkgroup), Radios.txt and one tower file per site. What the decoder learns
// about a system is written there and read back whenever the system and site are identified.
//
// A file that exists but cannot be read (not a regular file, no permission, a dangling link, a
// read error, or a file this program does not understand) is never replaced: it is reported once
// and held back from every save until a later load reads it.

// "<program folder>System1A3/" for system 0x1A3.
std::string SystemFolder(const std::string& programFolder, uint32_t systemId);

// Writes the folder of the current system (created when missing) and the tower file of the current
// site. Does nothing unless the system ID is not 0 and the RFSS or the site is not 0 (and a program
// folder is set). The decoder state is taken under "SYSINFOLOCK", so an identity change cannot
// slip between the files; the files are written after the locks are released, each replaced
// whole. A file that cannot be written keeps its old contents and is reported (NotSaved); a file
// held back is skipped. Returns whether every file that was due was written.
bool SaveSystemData(P25Class& decoder);

// Reads the folder of the current system over the current state: System.ini, TalkGroups.txt,
// TalkGroupUse.txt (its use added once after a reset), Radios.txt and the tower file of the current RFSS and site,
// whichever exist. Does nothing under the condition of SaveSystemData or when the folder does not exist. Takes
// "SYSINFOLOCK" (callers on an identity change hold it already) and the other areas' locks inside it. A file that
// cannot be read is reported (Unreadable, once until it reads again) and held back.
void LoadSystemData(P25Class& decoder);

// Makes the decoder read the per-system folders of its program folder whenever a system and site
// are identified (LoadSystemData), and keeps which files are held back.
void AttachSystemStore(P25Class& decoder);

// Where the problems of the files of an attached store go. Called on the thread that loads (the
// processing thread on an identity change) or saves, with no lock of the store held.
void SetStoreNotices(P25Class& decoder, std::function<void(const StoreNotice&)> notices);
