#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "scancontrol/ScannerProfile.h"

class TCommPort;
struct Settings;

// The controlled scanner: a second scanner on its own serial port that is told which voice
// channel to listen to. Its commands come from a scanner profile (ScannerProfile); text commands
// are templates expanded with the frequencies involved, or, in the binary command style, fixed
// frames. The object is either active (profile read and port open) or inert (profile missing or
// port not opened), and then every action does nothing; there is no reopening.
//
// Lifecycle, fixed by the decode session: construct, SendInit, TuneQuiet when a decode starts;
// TuneActive / TuneQuiet as the followed activity changes; ResumeScan and destruction when the
// user stops the decode (destruction alone when the program closes). All calls come from the main
// thread; the object takes no lock.
class ScannerControl {
public:
    // What the scanner was last told before any tune: no channel has this frequency, so the
    // first tune is always sent.
    static constexpr double kNoFrequency = 0.1;
    static constexpr double kInitialSpacing = 0.0125;  // MHz
    static constexpr int32_t kDefaultSpeed = 9600;
    // Replies are read and thrown away in blocks of this size after every text command, at most
    // kMaxDrainReads blocks, so a scanner that never stops talking cannot hold the main thread.
    static constexpr int kDrainBlock = 100;
    static constexpr int kMaxDrainReads = 64;

    // portName: setting ScanControl/Port; profileName: ScanControl/Profile, a file in
    // programFolder, else one of the example profiles installed with the program; quietMHz:
    // ScanControl/QuietFrequency (0: no quiet frequency, scan instead); portSpeed: ScanControl/PortSpeed
    // in bit/s (0 gives 9600). Never fails visibly; a profile that is found but refused (unreadable,
    // over 1 MB, a template over 4,096 characters) or a quiet frequency neither 0 nor within
    // 25..1,300 MHz leaves it inert with Problem() set.
    ScannerControl(std::string portName, std::string_view profileName, double quietMHz, int32_t portSpeed,
                   const std::filesystem::path& programFolder);
    // The same from the settings (ScanControl: Port, Profile, QuietFrequency, PortSpeed).
    ScannerControl(const Settings& settings, const std::filesystem::path& programFolder);
    ~ScannerControl();
    ScannerControl(const ScannerControl&) = delete;
    ScannerControl& operator=(const ScannerControl&) = delete;

    // The four actions.
    void SendInit();
    void ResumeScan();
    void TuneQuiet();
    // spacing: the channel's spacing in MHz (chooses the text template); frequency in MHz. A
    // frequency that is not a positive number (unknown, -1) is never sent.
    void TuneActive(double spacing, double frequency);

    // Building blocks of the actions.
    std::string ExpandTemplate(std::string_view templ) const;
    // Discards pending input, writes the text's bytes as they are, waits until they are sent and
    // drains the replies. True when the port was open (write errors are not reported).
    bool SendCommand(std::string_view text);
    void DrainReplies();
    // The tune frame for a frequency in MHz, or the resume frame for 0. True when written.
    bool SendBinaryCommand(double mhz);

    // --- state, for the configuration dialog and the tests ---
    bool ProfileFound() const { return profileFound_; }
    // Why a profile that exists was refused (for the owner to show); empty otherwise.
    const std::string& Problem() const { return problem_; }
    bool PortOpen() const { return portOpen_; }
    const ScannerProfile& Profile() const { return profile_; }
    const std::string& PortName() const { return portName_; }
    int32_t PortSpeed() const { return portSpeed_; }
    double LastTunedFrequency() const { return lastTuned_; }
    double QuietFrequency() const { return quiet_; }
    double ActiveSpacing() const { return activeSpacing_; }
    double ActiveFrequency() const { return activeFrequency_; }
    // The port object with the line settings given to it; null when no profile was found.
    const TCommPort* Port() const { return port_.get(); }

private:
    void OpenPort();

    std::string portName_;
    int32_t portSpeed_ = kDefaultSpeed;
    ScannerProfile profile_;
    bool profileFound_ = false;
    std::string problem_;
    std::unique_ptr<TCommPort> port_;
    bool portOpen_ = false;
    double lastTuned_ = kNoFrequency;
    double quiet_ = 0.0;
    double activeSpacing_ = kInitialSpacing;
    double activeFrequency_ = 0.0;
};
