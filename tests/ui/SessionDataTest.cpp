// What the user edits and what a session learns reaches the per-system files without the
// periodic save: at a session's stop, before a start empties the decoder, after "Ok" of the
// talkgroup and radio dialogs, and when the window closes.
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <fstream>
#include <sstream>

#include "DemoScannerRig.h"
#include "MainWindowFixture.h"
#include "decoder/P25Class.h"
#include "session/ScannerSimulator.h"
#include "session/SimCapture.h"
#include "ui/dialogs/Radidedit.h"
#include "ui/dialogs/Tgedit.h"

using namespace uitest;

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void TypeInto(QLineEdit* field, const QString& text)
{
    field->selectAll();
    field->insert(text);  // as typing: textEdited enables "Apply"
}

class SessionDataTest : public MainWindowFixture {
protected:
    P25Class& Decoder() { return *window->Decoder(); }
    std::string SystemFile(const char* name) { return Folder() + "System1A3/" + name; }

    // Edits a talkgroup through its dialog: the name, the priority, then "Ok", or "Apply" and
    // "Cancel" (which writes into the tables but leaves the files to a later save).
    void EditTalkgroup(int number, const QString& name, int priority, bool ok)
    {
        TForm3& dialog = *window->Dialogs().talkgroupDialog;
        ModalAnswerer answerer;
        answerer.dialogResult = ok ? QDialog::Accepted : QDialog::Rejected;
        answerer.fill = [&](QDialog&) {
            TypeInto(dialog.NameField(), name);
            dialog.PrioritySpinner()->setValue(priority);
            dialog.findChild<QPushButton*>(ok ? "Button3" : "Button1")->click();
        };
        window->EditTalkgroup(QString::number(number));
        ASSERT_EQ(answerer.seen.size(), 1u);
    }

    std::pair<std::string, int> Talkgroup(int number)
    {
        return {Decoder().Talkgroups().GetTalkgroupText(number), Decoder().Talkgroups().GetTalkgroupPriority(number)};
    }
};

class LiveSessionDataTest : public SessionDataTest {
protected:
    void SetUp() override
    {
        SessionDataTest::SetUp();
        StartDemoScanner(scanner, settings);
        if (HasFatalFailure())
            return;
        settings.autoSaveEnabled = false;  // only the saves of the commands themselves
    }
    void TearDown() override
    {
        SessionDataTest::TearDown();
        scanner->Close();
    }
    bool WaitForSystem()
    {
        return PumpUntil([this] { return Decoder().GetSystemId() == 0x1A3; }, 30000);
    }

    std::unique_ptr<ScannerSimulator> scanner;
};

TEST_F(LiveSessionDataTest, EditsAndWhatTheSessionLearntSurviveStopAndStart)
{
    MakeWindow();
    window->ToggleSession();
    ASSERT_TRUE(WaitForSystem());

    EditTalkgroup(5002, "Fire Dispatch", 5, true);
    // "Ok" writes the files at once.
    EXPECT_NE(ReadFile(SystemFile("TalkGroups.txt")).find("Fire Dispatch"), std::string::npos);
    EditTalkgroup(5001, "Applied Only", 7, false);
    // Talkgroups the session heard besides the two edited: the demo's lines arrive in bursts, so the
    // system may be named before the first grants are decoded.
    ASSERT_TRUE(PumpUntil([this] { return Decoder().Talkgroups().TalkgroupCount() > 2; }, 30000));
    const int learnt = Decoder().Talkgroups().TalkgroupCount();

    window->ToggleSession();  // stop
    ASSERT_FALSE(window->State().DecodeRunning.load());
    const std::string stored = ReadFile(SystemFile("TalkGroups.txt"));
    EXPECT_NE(stored.find("Applied Only"), std::string::npos);

    // An edit between the sessions is written by the start before it empties the decoder.
    EditTalkgroup(5003, "Between Sessions", 9, false);
    window->ToggleSession();               // start
    EXPECT_EQ(Talkgroup(5002).first, "");  // emptied until the system is named again
    ASSERT_TRUE(WaitForSystem());
    EXPECT_TRUE(PumpUntil([&] { return Talkgroup(5002).first == "Fire Dispatch"; }));
    EXPECT_EQ(Talkgroup(5002), std::make_pair(std::string("Fire Dispatch"), 5));
    EXPECT_EQ(Talkgroup(5001), std::make_pair(std::string("Applied Only"), 7));
    EXPECT_EQ(Talkgroup(5003), std::make_pair(std::string("Between Sessions"), 9));
    EXPECT_GE(Decoder().Talkgroups().TalkgroupCount(), learnt);
    window->ToggleSession();
}

TEST_F(SessionDataTest, EditsSurviveClosingTheWindowAndRadioOkWritesAtOnce)
{
    MakeWindow();
    Decoder().SetSiteIdentity(0x1A3, 1, 0x70, 5);
    EditTalkgroup(5001, "Renamed Before Close", 12, false);

    TForm4& radio = *window->Dialogs().radioDialog;
    {
        ModalAnswerer answerer;
        answerer.fill = [&](QDialog&) {
            TypeInto(radio.NameField(), "Engine 7");
            radio.findChild<QPushButton*>("Button3")->click();
        };
        window->EditRadio("1234567");
    }
    EXPECT_NE(ReadFile(SystemFile("Radios.txt")).find("Engine 7"), std::string::npos);

    window->close();
    window.reset();
    MakeWindow();
    Decoder().SetSiteIdentity(0x1A3, 1, 0x70, 5);  // the files are read back
    EXPECT_EQ(Talkgroup(5001), std::make_pair(std::string("Renamed Before Close"), 12));
    EXPECT_EQ(Decoder().Radios().GetRadioText(1234567), "Engine 7");
}

}  // namespace
