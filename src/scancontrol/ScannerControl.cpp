#include "scancontrol/ScannerControl.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "link/TCommPort.h"
#include "persist/Settings.h"
#include "platform/DataPaths.h"
#include "platform/IniFile.h"
#include "platform/RegularFile.h"
#include "scancontrol/BinaryFrame.h"
#include "scancontrol/CommandTemplate.h"

ScannerControl::ScannerControl(std::string portName, std::string_view profileName, double quietMHz, int32_t portSpeed,
                               const std::filesystem::path& programFolder)
    : portName_(std::move(portName))
{
    // A profile in the program folder comes first; else an example installed with the program.
    auto path = FindProfileFile(programFolder, profileName);
    if (const std::string examples = ExampleProfileFolder(); !path && !examples.empty())
        path = FindProfileFile(examples, profileName);
    if (!path)
        return;  // inert, and nothing to tell: scanner control simply does not happen
    std::string text;
    const RegularFileRead read = ReadRegularFile(path->string(), ScannerProfile::kMaxFileBytes, text);
    if (!read.Read()) {
        problem_ = "Scanner profile " + path->string() + " not used: " + read.reason;
        return;
    }
    IniFile ini;
    ini.Parse(text);
    ScannerProfile profile = ScannerProfile::Read(ini);
    if (const std::string why = profile.Problem(); !why.empty()) {
        problem_ = "Scanner profile " + path->string() + " not used: " + why;
        return;
    }
    if (!QuietFrequencyValid(quietMHz)) {
        char value[32];
        std::snprintf(value, sizeof value, "%g", quietMHz);
        problem_ = std::string("Scanner control not used: the quiet frequency ") + value +
                   " MHz is neither 0 nor within 25 to 1300 MHz";
        return;
    }
    profileFound_ = true;

    portSpeed_ = portSpeed > 0 ? portSpeed : kDefaultSpeed;
    quiet_ = quietMHz;
    profile_ = std::move(profile);
    if (profile_.forceSpeed)
        portSpeed_ = *profile_.forceSpeed;
    OpenPort();
}

ScannerControl::ScannerControl(const Settings& settings, const std::filesystem::path& programFolder)
    : ScannerControl(settings.scanControlPort, settings.profile, settings.quietFrequency, settings.portSpeed,
                     programFolder)
{ }

ScannerControl::~ScannerControl()
{
    if (portOpen_)
        port_->Close();
}

void ScannerControl::OpenPort()
{
    port_ = std::make_unique<TCommPort>();
    port_->SetPortName(portName_);
    port_->SetBaudRate(static_cast<uint32_t>(portSpeed_));
    // A value that does not fit a byte must not wrap into a valid one (264 -> 8): 0 is refused
    // when the port is opened, so such a profile leaves the object inert.
    const bool bitsFit = profile_.dataBits >= 0 && profile_.dataBits <= 255;
    port_->SetByteSize(static_cast<uint8_t>(bitsFit ? profile_.dataBits : 0));
    port_->SetParity(TCommPort::kNoParity);
    if (profile_.OddParity())
        port_->SetParity(TCommPort::kOddParity);
    else if (profile_.EvenParity())
        port_->SetParity(TCommPort::kEvenParity);
    port_->SetStopBits(profile_.TwoStopBits() ? TCommPort::kTwoStopBits : TCommPort::kOneStopBit);
    if (!port_->Open())
        return;         // absent or in use: inert, nothing reported
    port_->RaiseDtr();  // a port without modem lines carries on
    portOpen_ = true;
}

std::string ScannerControl::ExpandTemplate(std::string_view templ) const
{
    return ExpandCommandTemplate(templ, TemplateValues{activeFrequency_, quiet_, activeSpacing_});
}

bool ScannerControl::SendCommand(std::string_view text)
{
    if (!portOpen_)
        return false;
    port_->DiscardInput();
    port_->WriteText(text);
    port_->FlushOutput();
    DrainReplies();
    return true;
}

void ScannerControl::DrainReplies()
{
    std::array<uint8_t, kDrainBlock + 1> scratch{};
    for (int reads = 0; reads < kMaxDrainReads && portOpen_ && port_->BytesWaiting() > 0; ++reads) {
        // A read that gets nothing although bytes are reported waiting would repeat for ever.
        if (port_->Read(scratch.data(), kDrainBlock) <= 0)
            break;
    }
}

bool ScannerControl::SendBinaryCommand(double mhz)
{
    if (!portOpen_)
        return false;
    if (mhz == 0.0) {
        const BinaryFrame::ResumeFrame frame = BinaryFrame::Resume();
        return port_->Write(frame.data(), static_cast<int>(frame.size())) == static_cast<int>(frame.size());
    }
    const auto frame = BinaryFrame::Tune(mhz, profile_.byteSwap);
    if (!frame)
        return false;  // no 32-bit frequency in Hz: nothing the scanner could take
    return port_->Write(frame->data(), static_cast<int>(frame->size())) == static_cast<int>(frame->size());
}

void ScannerControl::SendInit()
{
    if (!portOpen_ || profile_.init.empty() || profile_.binaryCommands)
        return;
    SendCommand(ExpandTemplate(profile_.init));
    lastTuned_ = kNoFrequency;
    DrainReplies();
}

void ScannerControl::ResumeScan()
{
    if (!portOpen_)
        return;
    if (profile_.binaryCommands) {
        SendBinaryCommand(0.0);  // the last tuned frequency stays
        return;
    }
    if (profile_.scan.empty())
        return;
    SendCommand(ExpandTemplate(profile_.scan));
    lastTuned_ = 0.0;  // the next tune, even to the quiet frequency, is sent
    DrainReplies();
}

void ScannerControl::TuneQuiet()
{
    if (!portOpen_ || quiet_ == lastTuned_)
        return;
    lastTuned_ = quiet_;
    if (profile_.binaryCommands) {
        SendBinaryCommand(quiet_);  // the resume frame for a quiet frequency of 0
        return;
    }
    if (quiet_ == 0.0) {
        ResumeScan();
        return;
    }
    if (profile_.quiet.empty())
        return;
    // Quiet may also name the active frequency and spacing: those of the last active tune.
    SendCommand(ExpandTemplate(profile_.quiet));
    DrainReplies();
}

void ScannerControl::TuneActive(double spacing, double frequency)
{
    // An unknown frequency (-1) or 0 names no channel: telling the scanner would only mistune it.
    if (!portOpen_ || !(frequency > 0.0) || !std::isfinite(frequency) || frequency == lastTuned_)
        return;
    if (profile_.binaryCommands) {
        if (!BinaryFrame::FrequencyHz(frequency))
            return;  // above 4294.967295 MHz: no frame can carry it
        SendBinaryCommand(frequency);
        lastTuned_ = frequency;  // write errors are not retried, as in the text style
        return;
    }
    const std::string& templ = profile_.ActiveTemplate(spacing);
    if (templ.empty())
        return;
    activeSpacing_ = spacing;
    activeFrequency_ = frequency;
    SendCommand(ExpandTemplate(templ));
    lastTuned_ = frequency;
    DrainReplies();
}
