#pragma once

#include <string>

// The decode session without a window: reader thread (or a replayed file, or the built-in
// demo), block queue, processing thread, decoder and tick source, with the settings file read at
// start and the per-system files saved on the auto-save schedule.
struct HeadlessOptions {
    std::string dataDir;      // --data-dir
    std::string port;         // --port DEVICE (else the settings' port)
    std::string replayFile;   // --replay FILE
    int scannerType = -1;     // --scanner-type N (else the settings' type)
    bool realtime = false;    // --realtime: pace a replay at about 40 blocks a second
    bool dump = false;        // --dump: print every packet dump entry
    bool save = false;        // --save: write the per-system files at the end
    long long saveEvery = 0;  // --save-every N: also write them after every N replayed blocks
    bool demo = false;        // --demo: the built-in scanner simulator plays the demo capture
    std::string demoCapture;  // the capture the demo plays
};

// Runs the session to its end; returns the exit status (0, or 2 after a one-line message on
// standard error).
int RunHeadless(const HeadlessOptions& options, const char* argv0);
