#include "scancontrol/ScannerControl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "link/TCommPort.h"
#include "platform/IniFile.h"
#include "scancontrol/BinaryFrame.h"
#include "scancontrol/CommandTemplate.h"
#include "scancontrol/ScannerPeer.h"
#include "support/ScratchFolder.h"

namespace {

using Bytes = ScannerPeer::Bytes;

// ---- templates ----

struct TokenCase {
    const char* templ;
    const char* expected;
};

// Active 851.0125 MHz, quiet 866 MHz, spacing 12.5 kHz: every token once.
const TokenCase kTokenCases[] = {
    {"F$AF-0#######$$CR$", "F08510125\r"},
    {"$AF-########$", " 8510125"},  // padded with a blank ...
    {"$QF-########$", "8660000"},   // ... its quiet twin is not
    {"$AF-#########$", "  8510125"},
    {"$AF-0########$", "008510125"},
    {"$AF-###.####$|$AF-0##.####$|$AF-####.####$|$AF-0###.####$", "851.0125|851.0125|851.0125|851.0125"},
    {"$AF-####.#####$|$AF-0##.#####$|$AF-0###.#####$", "851.01250|851.01250|851.01250"},
    {"$QF-0#######$", "08660000"},
    {"$QF-###.####$|$QF-0##.####$|$QF-####.####$|$QF-0###.####$", "866.0000|866.0000|866.0000|866.0000"},
    {"$QF-####.#####$|$QF-0##.#####$|$QF-0###.#####$", "866.00000|866.00000|866.00000"},
    {"$SP-MHZ$|$SP-MHZ4$|$SP-MHZ5$", "0.0125|0.0125|0.01250"},
    {"$SP-KHZ$|$SP-KHZ2$|$SP-KHZ3$|$SP-KHZ4$|$SP-KHZ5$", "12.5|12.50|12.500|12.5000|12.50000"},
    {"$SP-KHZ*10$|$SP-KHZ*100$", "125|1250"},
    {"$UNIDENFREQ$|$UNIDENQUIET$|$UNIDENSPACING$", "08510125|08660000|12.5"},
    {"$STANDARDFREQ$|$STANDARDQUIET$|$STANDARDSPACING$|$STANDARDSPACINGKHZ$", "851.0125|866.0000|0.0125|12.5000"},
    {"A$CR$$LF$B$CR$", "A\r\nB\r"},
    // Every occurrence; case and unknown tokens stay as written.
    {"$CR$x$CR$ $cr$ $AF$ $", "\rx\r $cr$ $AF$ $"},
};

TEST(CommandTemplate, ExpandsEveryToken)
{
    const TemplateValues values{851.0125, 866.0, 0.0125};
    for (const TokenCase& c : kTokenCases)
        EXPECT_EQ(ExpandCommandTemplate(c.templ, values), c.expected) << c.templ;
}

TEST(CommandTemplate, FormatScaledStripsOnlyPlainPercentF)
{
    EXPECT_EQ(FormatScaled(0.025, 1000, "%f"), "25");
    EXPECT_EQ(FormatScaled(0.1, 1000, "%f"), "100");  // zeros before the point stay
    EXPECT_EQ(FormatScaled(0.0, 1, "%f"), "0");
    EXPECT_EQ(FormatScaled(0.00625, 1000, "%0.2f"), "6.25");
    EXPECT_EQ(FormatScaled(25, 1, "%0.2f"), "25.00");
    EXPECT_EQ(FormatScaled(1e300, 1, "%0.0f").size(), 301u);  // no fixed buffer to overrun
}

TEST(CommandTemplate, ReplaceAllEndsWhenTheValueHoldsTheToken)
{
    std::string text = "aXa";
    ReplaceAll(text, "a", "aa");
    EXPECT_EQ(text, "aaXaa");
    std::string shortText = "$C";
    ReplaceAll(shortText, "$CR$", "\r");
    EXPECT_EQ(shortText, "$C");
}

// The splice-and-search-from-the-start way that one pass must match, result for result.
void ReplaceAllReference(std::string& text, std::string_view token, std::string_view value)
{
    const bool selfContaining = value.find(token) != std::string_view::npos;
    for (size_t at = text.find(token); at != std::string::npos;
         at = text.find(token, selfContaining ? at + value.size() : 0))
        text.replace(at, token.size(), value);
}

TEST(CommandTemplate, OnePassGivesTheSameResultAsSearchingFromTheStart)
{
    // Texts of pieces that join into tokens in every way, and values that can rebuild a token
    // from their neighbours ("0" inside "$SP-KHZ*10$") or hold it.
    const char* pieces[] = {"$", "SP-KHZ*1", "0", "$SP-KHZ*10$", "$QF-########$", "$CR$", "C", "R", "x", "$$"};
    const std::pair<const char*, const char*> replacements[] = {
        {"$SP-KHZ*10$", "0"}, {"$SP-KHZ*10$", "125"},
        {"$CR$", "\r"},       {"$QF-########$", "0"},
        {"$CR$", "$CR$$"},    {"$$", "$"},
        {"$$", ""},           {"$SP-KHZ*10$", "$SP-KHZ*10$"},
    };
    uint32_t seed = 12345;
    const auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (uint32_t n = next() % 12; n > 0; --n)
            text += pieces[next() % std::size(pieces)];
        const auto& [token, value] = replacements[next() % std::size(replacements)];
        std::string expected = text;
        ReplaceAllReference(expected, token, value);
        std::string got = text;
        ReplaceAll(got, token, value);
        ASSERT_EQ(got, expected) << "text " << text << " token " << token << " value " << value;
    }
    // A quiet frequency of 0 rebuilds "$SP-KHZ*10$" out of a template made for it.
    EXPECT_EQ(ExpandCommandTemplate("$SP-KHZ*1$QF-########$$", TemplateValues{851.0125, 0.0, 0.0125}), "125");
}

// ---- binary frames ----

TEST(BinaryFrame, TuneAndResumeBytes)
{
    EXPECT_EQ(BinaryFrame::Tune(851.0125, false),
              (BinaryFrame::TuneFrame{0x02, 0x54, 0x94, 0x6B, 0xB9, 0x32, 0x02, 0x03, 0x43}));
    EXPECT_EQ(BinaryFrame::Tune(851.0125, true),
              (BinaryFrame::TuneFrame{0x02, 0x54, 0x32, 0xB9, 0x6B, 0x94, 0x02, 0x03, 0x43}));
    EXPECT_EQ(BinaryFrame::Resume(), (BinaryFrame::ResumeFrame{0x02, 0x4B, 0x0F, 0x03, 0x5D}));
}

TEST(BinaryFrame, FrequencyInWholeHz)
{
    // base + 4 × 6.25 kHz is 406037499.99999994 Hz in floating point: the scanner gets 406037500.
    EXPECT_EQ(BinaryFrame::FrequencyHz(406.0125 + 4 * 0.00625), 406037500u);
    EXPECT_EQ(BinaryFrame::FrequencyHz(4294.967295), 4294967295u);
    for (double bad : {-1.0, 0.0, 4294.9673, std::nan("")})
        EXPECT_FALSE(BinaryFrame::FrequencyHz(bad)) << bad;
}

// ---- profiles ----

ScannerProfile ReadProfile(const std::string& text)
{
    IniFile ini;
    ini.Parse(text);
    return ScannerProfile::Read(ini);
}

TEST(ScannerProfile, DefaultsOfAnEmptyProfile)
{
    const ScannerProfile p = ReadProfile("");
    EXPECT_EQ(p.dataBits, 8);
    EXPECT_EQ(p.parity, "N");
    EXPECT_FALSE(p.OddParity() || p.EvenParity() || p.TwoStopBits());
    EXPECT_FALSE(p.forceSpeed);
    EXPECT_FALSE(p.binaryCommands || p.byteSwap);
    EXPECT_TRUE(p.init.empty() && p.scan.empty() && p.manual.empty() && p.quiet.empty());
    EXPECT_TRUE(p.ActiveTemplate(0.0125).empty());
}

TEST(ScannerProfile, ActiveTemplatesBySpacing)
{
    const ScannerProfile common = ReadProfile("[Commands]\nActive=A\n");
    for (double spacing : ScannerProfile::kActiveSpacings)
        EXPECT_EQ(common.ActiveTemplate(spacing), "A") << spacing;

    const ScannerProfile p = ReadProfile("[Commands]\nActive=A\nActive25=W\nActive12.5=T\nManual=M\n");
    EXPECT_EQ(p.ActiveTemplate(0.025), "W");
    EXPECT_EQ(p.ActiveTemplate(0.00625), "A");
    EXPECT_EQ(p.ActiveTemplate(0.015), "T");  // any other spacing takes the 12.5 kHz template
    EXPECT_EQ(p.manual, "M");
}

TEST(ScannerProfile, LineSettings)
{
    struct Case {
        const char* parity;
        int stop;
        bool odd, even, two;
    };
    for (const Case& c : {Case{"e", 2, false, true, true}, Case{"O", 1, true, false, false},
                          Case{"M", 3, false, false, false}, Case{"odd", 2, false, false, true}}) {
        const ScannerProfile p = ReadProfile(std::string("[Scanner]\nPortParity=") + c.parity +
                                             "\nPortStop=" + std::to_string(c.stop) + "\nPortBits=7\n");
        EXPECT_EQ(p.OddParity(), c.odd) << c.parity;
        EXPECT_EQ(p.EvenParity(), c.even) << c.parity;
        EXPECT_EQ(p.TwoStopBits(), c.two) << c.stop;
        EXPECT_EQ(p.dataBits, 7);
    }
    EXPECT_EQ(ReadProfile("[Scanner]\nForceSpeed=4800\n").forceSpeed, 4800);
    EXPECT_FALSE(ReadProfile("[Scanner]\nForceSpeed=0\n").forceSpeed);  // 0 would hang the line up
}

TEST(ScannerProfile, BinaryStyleSwitches)
{
    struct Case {
        const char* commands;
        bool binary, swap;
    };
    for (const Case& c : {Case{"GRECommands=Y\nByteSwap=yes", true, true}, Case{"GRECommands=YES", true, false},
                          Case{"GRECommands=no\nByteSwap=Y", false, true}, Case{"GRECommands=1", false, false},
                          Case{"ByteSwap=Yes", false, false}}) {
        const ScannerProfile p = ReadProfile(std::string("[Commands]\nInit=I\n") + c.commands + "\n");
        EXPECT_EQ(p.binaryCommands, c.binary) << c.commands;
        EXPECT_EQ(p.byteSwap, c.swap) << c.commands;
        EXPECT_EQ(p.init.empty(), c.binary) << "templates are not read in the binary style";
    }
}

TEST(ScannerProfile, ShippedExamples)
{
    const std::string folder = std::string(VARNEL_TEST_DATA) + "/../../data/profiles/";
    IniFile text, binary;
    ASSERT_TRUE(text.Load(folder + "Example-Text.scanner") && text.ValueExists("Commands", "Active"));
    ASSERT_TRUE(binary.Load(folder + "Example-Binary.scanner") && binary.ValueExists("Commands", "GRECommands"));
    const ScannerProfile t = ScannerProfile::Read(text);
    EXPECT_FALSE(t.binaryCommands || t.forceSpeed);
    EXPECT_EQ(ExpandCommandTemplate(t.ActiveTemplate(0.0125), {851.0125, 866.0, 0.0125}), "TUNE 851.0125 STEP 12.5\r");
    const ScannerProfile b = ScannerProfile::Read(binary);
    EXPECT_TRUE(b.binaryCommands);
    EXPECT_FALSE(b.byteSwap);
}

// ---- over a pseudo-terminal ----

const char* const kTextProfile =
    "; test profile\r\n[Scanner]\r\nDescription=Test scanner\r\n[Commands]\r\nInit=INIT$CR$\r\nScan=SCAN$CR$\r\n"
    "Quiet=Q$QF-0#######$ A$AF-0#######$ S$SP-KHZ$$CR$\r\nActive=F$AF-0#######$$CR$\r\n"
    "Active25=W$AF-###.####$$CR$\r\n";

class ScannerControlPort : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(peer.Path().empty()); }
    std::unique_ptr<ScannerControl> Make(const std::string& profile, double quiet = 866.0, int32_t speed = 9600)
    {
        ScratchFolder::Write(folder.Path() / "test.scanner", profile);
        return std::make_unique<ScannerControl>(peer.Path(), "test.scanner", quiet, speed, folder.Path());
    }

    ScratchFolder folder;
    ScannerPeer peer;
};

TEST_F(ScannerControlPort, SessionStartSendsInitThenQuiet)
{
    auto sc = Make(kTextProfile);
    ASSERT_TRUE(sc->PortOpen());
    EXPECT_EQ(sc->Profile().description, "Test scanner");
    sc->SendInit();
    sc->TuneQuiet();  // the active values are still the initial 0 MHz and 12.5 kHz
    EXPECT_EQ(peer.Text(), "INIT\rQ08660000 A00000000 S12.5\r");
    sc->TuneQuiet();
    EXPECT_EQ(peer.Text(), "");
}

TEST_F(ScannerControlPort, TuneActiveByTemplateOncePerFrequency)
{
    auto sc = Make(kTextProfile);
    sc->TuneActive(0.0125, 851.0125);
    EXPECT_EQ(peer.Text(), "F08510125\r");
    sc->TuneActive(0.0125, 851.0125);
    EXPECT_EQ(peer.Text(), "");
    sc->TuneActive(0.025, 852.5);
    EXPECT_EQ(peer.Text(), "W852.5000\r");
    sc->TuneActive(0.015, 853.0);
    EXPECT_EQ(peer.Text(), "F08530000\r");
    sc->TuneActive(0.0125, -1.0);  // unknown frequency
    EXPECT_EQ(peer.Text(), "");
    sc->TuneQuiet();  // Quiet names the frequency and spacing of the last active tune
    EXPECT_EQ(peer.Text(), "Q08660000 A08530000 S15\r");
    EXPECT_EQ(sc->LastTunedFrequency(), 866.0);
}

TEST_F(ScannerControlPort, QuietFrequencyZeroScansAndResumeForcesTheNextTune)
{
    auto sc = Make(kTextProfile, 0.0);
    sc->TuneQuiet();
    EXPECT_EQ(peer.Text(), "SCAN\r");
    sc->TuneQuiet();
    EXPECT_EQ(peer.Text(), "");
    sc->TuneActive(0.0125, 851.0125);
    sc->ResumeScan();
    EXPECT_EQ(sc->LastTunedFrequency(), 0.0);
    sc->TuneActive(0.0125, 851.0125);
    EXPECT_EQ(peer.Text(), "F08510125\rSCAN\rF08510125\r");
}

TEST_F(ScannerControlPort, EmptyTemplateSendsNothingAndKeepsTheLastTune)
{
    auto sc = Make("[Commands]\nActive25=W$STANDARDFREQ$\n");
    sc->SendInit();
    sc->ResumeScan();
    sc->TuneActive(0.0125, 851.0125);
    EXPECT_EQ(sc->LastTunedFrequency(), ScannerControl::kNoFrequency);
    sc->TuneActive(0.025, 851.0125);
    EXPECT_EQ(peer.Text(), "W851.0125");
}

TEST_F(ScannerControlPort, BinaryFrames)
{
    auto sc = Make("[Commands]\nGRECommands=Yes\nInit=INIT\n", 0.0);
    sc->SendInit();  // no text in the binary style
    sc->TuneActive(0.0125, 851.0125);
    sc->TuneActive(0.0125, 851.0125);
    EXPECT_EQ(peer.Received(), (Bytes{0x02, 0x54, 0x94, 0x6B, 0xB9, 0x32, 0x02, 0x03, 0x43}));
    sc->ResumeScan();  // the last tune stays: the same frequency is not sent again
    EXPECT_EQ(sc->LastTunedFrequency(), 851.0125);
    sc->TuneActive(0.0125, 851.0125);
    sc->TuneQuiet();  // quiet frequency 0: the resume frame
    const Bytes resume{0x02, 0x4B, 0x0F, 0x03, 0x5D};
    Bytes both = resume;
    both.insert(both.end(), resume.begin(), resume.end());
    EXPECT_EQ(peer.Received(), both);
}

TEST_F(ScannerControlPort, BinaryFramesByteSwapped)
{
    auto sc = Make("[Commands]\nGRECommands=y\nByteSwap=Y\n", 851.0125);
    sc->TuneQuiet();
    sc->TuneActive(0.00625, 406.0125 + 4 * 0.00625);
    EXPECT_EQ(peer.Received(), (Bytes{0x02, 0x54, 0x32, 0xB9, 0x6B, 0x94, 0x02, 0x03, 0x43,  //
                                      0x02, 0x54, 0x18, 0x33, 0xA3, 0xFC, 0x02, 0x03, 0x43}));
}

TEST_F(ScannerControlPort, RepliesAreDrainedAndIgnored)
{
    auto sc = Make(kTextProfile);
    ASSERT_TRUE(peer.Reply(std::string(1000, 'R')));  // a chatty scanner
    sc->DrainReplies();
    sc->TuneActive(0.0125, 851.0125);
    ASSERT_TRUE(peer.Reply("OK\r"));
    sc->TuneActive(0.0125, 852.0125);
    EXPECT_EQ(peer.Text(), "F08510125\rF08520125\r");
}

TEST_F(ScannerControlPort, LineSettingsReachThePort)
{
    struct Case {
        const char* scanner;
        int32_t speed;
        uint8_t bits, parity;
        bool twoStop;
        speed_t rate;
    };
    const Case cases[] = {
        {"PortBits=7\nPortParity=e\nPortStop=2\nForceSpeed=4800", 19200, 7, TCommPort::kEvenParity, true, B4800},
        {"PortParity=o", 19200, 8, TCommPort::kOddParity, false, B19200},
        {"PortParity=M\nPortStop=3", 0, 8, TCommPort::kNoParity, false, B9600},
    };
    for (const Case& c : cases) {
        auto sc = Make(std::string("[Scanner]\n") + c.scanner + "\n", 866.0, c.speed);
        ASSERT_TRUE(sc->PortOpen()) << c.scanner;
        EXPECT_EQ(sc->Port()->ByteSize(), c.bits) << c.scanner;
        EXPECT_EQ(sc->Port()->Parity(), c.parity) << c.scanner;
        // A pseudo-terminal keeps the stop bits, the speed and the odd/even choice; it forces
        // 8 data bits without parity, so those two are read from the port object above.
        const termios t = peer.Settings();
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twoStop) << c.scanner;
        EXPECT_EQ((t.c_cflag & PARODD) != 0, c.parity == TCommPort::kOddParity) << c.scanner;
        EXPECT_EQ(cfgetospeed(&t), c.rate) << c.scanner;
    }
}

TEST_F(ScannerControlPort, InertWithoutProfileOrPort)
{
    ScannerControl noProfile(peer.Path(), "missing.scanner", 866.0, 9600, folder.Path());
    ScratchFolder::Write(folder.Path() / "test.scanner", kTextProfile);
    ScannerControl noPort("/dev/varnel-no-such-port", "test.scanner", 866.0, 9600, folder.Path());
    EXPECT_FALSE(noProfile.ProfileFound());
    EXPECT_TRUE(noPort.ProfileFound());
    for (ScannerControl* sc : {&noProfile, &noPort}) {
        EXPECT_FALSE(sc->PortOpen());
        sc->SendInit();
        sc->TuneQuiet();
        sc->TuneActive(0.0125, 851.0125);
        sc->ResumeScan();
        EXPECT_FALSE(sc->SendCommand("X"));
        EXPECT_EQ(sc->LastTunedFrequency(), ScannerControl::kNoFrequency);
    }
    EXPECT_EQ(peer.Text(), "");
}

TEST_F(ScannerControlPort, ProfileNameMatchesRegardlessOfCase)
{
    ScratchFolder::Write(folder.Path() / "bc250d.scanner", kTextProfile);
    ScannerControl sc(peer.Path(), "BC250D.Scanner", 866.0, 9600, folder.Path());
    EXPECT_TRUE(sc.PortOpen());
    EXPECT_EQ(sc.Profile().description, "Test scanner");
}

}  // namespace

namespace {

// Profiles that are refused before anything is sent: far too large, a template far too long, a
// quiet frequency no scanner tunes.
TEST_F(ScannerControlPort, OversizedProfilesAndBadQuietFrequenciesAreRefused)
{
    std::string huge = "[Commands]\r\nInit=";
    for (int i = 0; i < 400000; ++i)
        huge += "$QF-0#######$";  // 5.2 MB
    huge += "\r\n";
    const std::string longTemplate =
        "[Commands]\r\nActive25=" + std::string(ScannerProfile::kMaxTemplateLength + 1, 'F') + "\r\n";
    const std::string atTheLimit =
        "[Commands]\r\nActive25=" + std::string(ScannerProfile::kMaxTemplateLength, 'F') + "\r\n";
    struct Row {
        std::string profile;
        double quiet;
        const char* problem;  // nullptr: accepted
    };
    const Row rows[] = {
        {huge, 866.0, "not used: larger than 1048576 bytes"},
        {longTemplate, 866.0, "not used: its Active25 command is 4097 characters long (at most 4096)"},
        {atTheLimit, 866.0, nullptr},
        {kTextProfile, 1e300, "the quiet frequency 1e+300 MHz is neither 0 nor within 25 to 1300 MHz"},
        {kTextProfile, -866.0, "the quiet frequency -866 MHz is neither 0 nor within 25 to 1300 MHz"},
        {kTextProfile, 0.0, nullptr},
        {kTextProfile, 1300.0, nullptr},
    };
    for (const Row& r : rows) {
        auto control = Make(r.profile, r.quiet);
        if (r.problem == nullptr) {
            EXPECT_TRUE(control->ProfileFound()) << control->Problem();
            EXPECT_EQ(control->Problem(), "");
            continue;
        }
        EXPECT_FALSE(control->ProfileFound()) << r.problem;
        EXPECT_FALSE(control->PortOpen());
        EXPECT_NE(control->Problem().find(r.problem), std::string::npos) << control->Problem();
        control->SendInit();
        control->TuneQuiet();
        EXPECT_EQ(peer.Text(), "");
    }
}

}  // namespace
