#pragma once

#include <string>

// The decode session without a window: reader thread (or a replayed file, or the built-in
// demo), block queue, processing thread, decoder and tick source, with the settings file read at
// start and the per-system files saved on the auto-save schedule. A live run (--port, or the
// port of the settings) is a long-running service: log lines on standard error, the event feed
// to a file and to an MQTT broker, the second scanner followed, files saved on every stop signal.
struct HeadlessOptions {
    std::string dataDir;            // --data-dir
    std::string port;               // --port DEVICE (else the settings' port)
    std::string replayFile;         // --replay FILE
    int scannerType = -1;           // --scanner-type N (else the settings' type); 4 is the bare hex form
    bool realtime = false;          // --realtime: pace a replay at about 40 blocks a second
    bool dump = false;              // --dump: print every packet dump entry
    bool save = false;              // --save: write the per-system files at the end
    long long saveEvery = 0;        // --save-every N: also write them after every N replayed blocks
    bool demo = false;              // --demo: the built-in scanner simulator plays the demo capture
    std::string demoCapture;        // the capture the demo plays
    std::string eventsFile;         // --events FILE|-: the event feed as JSON Lines
    std::string mqttUrl;            // --mqtt mqtt[s]://[user[:password]@]host[:port]/prefix
    std::string mqttCa;             // --mqtt-ca FILE: the CA certificates of an mqtts broker
    long long mqttQueue = 10000;    // --mqtt-queue N: messages held while the broker is away
    std::string instance;           // --instance NAME: names this run in the feed and on the broker
    std::string logLevel = "info";  // --log-level error|warning|info|debug
};

// Runs the session to its end; returns the exit status (0, or 2 after a one-line message on
// standard error).
int RunHeadless(const HeadlessOptions& options, const char* argv0);
