#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One serial port over POSIX termios: its name, line settings, time-outs and the open device.
//
// A port name is a device path (/dev/ttyUSB0, /dev/serial/by-id/..., /dev/pts/N); the settings'
// default "COMn" still works and means /dev/ttyS(n-1). The device is opened exclusively
// (TIOCEXCL plus an advisory flock, which also holds against root and other programs that lock
// their ports) and always non-blocking: every read and write is bounded by the time-outs below
// through poll(). Pseudo-terminals have no modem lines and refuse a few ioctls; those refusals
// count as success, the way a real port without such lines carries on.
//
// An instance is used by one thread at a time.
class TCommPort {
public:
    // Driver buffer sizes asked for on open; Linux has no such request, so they only bound
    // OutputRoom().
    static constexpr int kInputBufferSize = 32768;
    static constexpr int kOutputBufferSize = 9216;

    // Parity values (the settings' numbering).
    static constexpr uint8_t kNoParity = 0, kOddParity = 1, kEvenParity = 2, kMarkParity = 3, kSpaceParity = 4;
    // Stop-bit values: one, one and a half (taken as two on Linux), two.
    static constexpr uint8_t kOneStopBit = 0, kOne5StopBits = 1, kTwoStopBits = 2;

    // Read and write time-outs in milliseconds, set when the port is opened.
    struct Timeouts {
        uint32_t readInterval = 15;        // longest gap between two bytes of one read
        uint32_t readTotalMultiplier = 1;  // per byte asked for
        uint32_t readTotalConstant = 250;
        uint32_t writeTotalMultiplier = 1;  // per byte written
        uint32_t writeTotalConstant = 250;
    };

    // What a bounded wait for input saw.
    enum class WaitResult { kReadable, kTimeout, kWoken, kHangup, kClosed };

    TCommPort();
    ~TCommPort();
    TCommPort(const TCommPort&) = delete;
    TCommPort& operator=(const TCommPort&) = delete;

    // Only while closed; ignored while open.
    void SetPortName(std::string_view name);
    const std::string& PortName() const { return portName_; }
    // The device path that Open() uses for a port name ("COM3" -> "/dev/ttyS2").
    static std::string DevicePath(std::string_view portName);

    // False at once when already open; otherwise opens the device with the stored settings and
    // time-outs. On failure LastError() and ErrorText() tell why and the object stays closed.
    bool Open();
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    // Store the value; when open, apply all line settings at once and restore the old value
    // (answering false) if the device refuses. When closed, true: applied at the next Open().
    bool SetBaudRate(uint32_t rate);
    bool SetByteSize(uint8_t bits);
    bool SetParity(uint8_t parity);
    bool SetStopBits(uint8_t stopBits);
    uint32_t BaudRate() const { return baudRate_; }
    uint8_t ByteSize() const { return byteSize_; }
    uint8_t Parity() const { return parity_; }
    uint8_t StopBits() const { return stopBits_; }
    const Timeouts& GetTimeouts() const { return timeouts_; }

    // Modem lines. False when closed or when the device refuses.
    bool RaiseDtr();
    bool DropDtr();
    bool RaiseRts();
    bool DropRts();

    // Writes the bytes, then waits until they are sent; the number written, 0 on any failure.
    int Write(const uint8_t* bytes, int count);
    // Writes the characters of a zero-terminated text without waiting; the number written.
    int WriteText(const char* text);
    int WriteText(std::string_view text);
    bool WriteByte(uint8_t byte);

    // Reads up to `count` bytes within the read time-outs; the number read. When fewer than
    // `count` were read a zero byte is stored after them (the buffer holds count bytes).
    int Read(uint8_t* buffer, int count);
    // One byte, or 0 when closed or when nothing could be read.
    uint8_t ReadByte();

    // Received bytes waiting in the driver; 0 when closed or on failure.
    int BytesWaiting();
    // kOutputBufferSize minus the bytes in the driver's output buffer; 0 when closed or on failure.
    int OutputRoom();
    // Throws away everything received and not yet read; false when closed.
    bool DiscardInput();
    // Waits (within the write time-outs) until everything written has been sent; false when closed.
    bool FlushOutput();

    // Waits at most `timeout` for received bytes. `wakeFd` (an eventfd or pipe, -1 for none)
    // ends the wait early with kWoken when it becomes readable. kHangup when the device has gone
    // (hang-up, I/O error): the caller should close the port.
    // A negative timeout (kNoTimeout) waits until input, a hang-up or the wake descriptor.
    static constexpr std::chrono::milliseconds kNoTimeout{-1};
    WaitResult WaitForInput(std::chrono::milliseconds timeout, int wakeFd = -1);
    // True once an operation on the open device failed in a way that means the device is gone
    // (hang-up, EIO, ENXIO, ENODEV). Cleared by Open().
    bool DeviceLost() const { return deviceLost_; }

    // Copies the error text into `buffer` (at least 256 bytes) and returns the last error.
    int32_t GetError(char* buffer) const;
    int32_t LastError() const { return lastError_; }
    const std::string& ErrorText() const { return errorText_; }

    // Port search over the serial devices present: -2 when this object is open, -1 past the
    // last device, otherwise the device's position (1-based). The port name is then the
    // device's path; a device held by another program is listed too.
    int FindFirstPort();
    int FindNextPort();
    // The serial devices present, in a stable order: first the links of /dev/serial/by-id that
    // lead to them (by link name, which stays the same across reboots and replugging), then the
    // devices themselves: on-board UARTs (ttyS with a real UART), then the other serial drivers
    // (ttyUSB, ttyACM, ttyAMA, ...), each by number. `sysRoot` and `devRoot` are for tests.
    static std::vector<std::string> ListPorts(const std::string& sysRoot = "/sys/class/tty",
                                              const std::string& devRoot = "/dev");
    // Where FindFirstPort looks (tests point it at a made-up tree).
    void SetSearchRoots(std::string sysRoot, std::string devRoot);

    // Error texts shown to the user.
    static constexpr const char* kNoSuchPortText = "Port does not exist!";
    static constexpr const char* kPortInUseText = "Access Denied: Port is already in use!";
    // The text for a platform error number, as Open() stores it; a permission refusal gets the
    // hint of PortAccessHint after kPortInUseText.
    static std::string ErrorTextFor(int err);
    // True for the error numbers that mean "the port exists but is held or not permitted".
    static bool IsAccessDenied(int err);

    // The open descriptor (-1 when closed), for a caller's own poll set.
    int Fd() const { return fd_; }

private:
    bool ApplyLineSettings();
    template <typename T>
    bool SetLineValue(T& field, T value);
    bool SetModemLine(int request, int line);
    bool WaitWritable(std::chrono::steady_clock::time_point deadline);
    int WriteBytes(const uint8_t* bytes, int count);
    void NoteIoError(int err);
    static bool MeansDeviceGone(int err);
    static bool MeansNoModemLines(int err);
    static bool IsPseudoTerminal(int fd);
    void FailOpen(int err);

    int32_t lastError_ = 0;
    std::string errorText_;
    Timeouts timeouts_;
    std::string portName_ = "COM1";
    uint32_t baudRate_ = 9600;
    uint8_t byteSize_ = 8;
    uint8_t parity_ = kNoParity;
    uint8_t stopBits_ = kOneStopBit;
    bool dtrControl_ = true;
    bool rtsControl_ = true;
    int fd_ = -1;
    bool deviceLost_ = false;
    int32_t searchPosition_ = 0;
    std::vector<std::string> searchList_;
    std::string searchSysRoot_ = "/sys/class/tty";
    std::string searchDevRoot_ = "/dev";
};
