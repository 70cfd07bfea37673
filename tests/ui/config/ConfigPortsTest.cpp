// The configuration dialog's port lists (found ports or COM1..COMn), the second scanner's port
// and the profile list.
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

#include "ConfigFixture.h"

namespace {

using ConfigPortsTest = uitest::ConfigFixture;

TEST_F(ConfigPortsTest, SamePortForDecodingAndControlSwitchesControlOff)
{
    settings.showAllPorts = true;
    settings.highPort = 16;
    settings.port = settings.scanControlPort = "COM3";
    settings.scanControlEnabled = true;
    Start();
    ASSERT_TRUE(Open(TcfgForm::kScannerPage, [&](TcfgForm&) {
        EXPECT_TRUE(Control<QCheckBox>("CheckBox5")->isChecked());
        EXPECT_EQ(Control<QComboBox>("ComboBox2")->currentText(), "COM3");
    }));
    EXPECT_FALSE(Reloaded().scanControlEnabled);
    EXPECT_EQ(Reloaded().scanControlPort, "COM3");
}

TEST_F(ConfigPortsTest, ShowAllPortsListsComOneToHighPortWithoutRescan)
{
    settings.showAllPorts = true;
    settings.highPort = 16;
    settings.port = "COM5";
    settings.scanControlPort = "COM7";
    Start();
    QStringList expected;
    for (int n = 1; n <= 16; ++n)
        expected << QStringLiteral("COM%1").arg(n);
    ASSERT_TRUE(Open(
        TcfgForm::kDecodePage,
        [&](TcfgForm&) {
            EXPECT_EQ(Items("ComboBox1"), expected);
            EXPECT_EQ(Items("ComboBox2"), expected);
            EXPECT_EQ(Control<QComboBox>("ComboBox1")->currentText(), "COM5");
            EXPECT_EQ(Control<QComboBox>("ComboBox2")->currentText(), "COM7");
            EXPECT_FALSE(Control<QPushButton>("Button9")->isEnabled());
            EXPECT_FALSE(Control<QPushButton>("Button10")->isEnabled());
        },
        QDialog::Rejected));
}

TEST_F(ConfigPortsTest, PortSearchFillsBothListsAndRescanFindsNewPorts)
{
    settings.port = "";  // none stored: the first port found is chosen
    settings.scanControlPort = "";
    Start();
    ASSERT_TRUE(Open(TcfgForm::kDecodePage, [&](TcfgForm&) {
        EXPECT_EQ(Items("ComboBox1"), ports);
        EXPECT_EQ(Control<QComboBox>("ComboBox1")->currentText(), "/dev/ttyUSB0");
        // The control list leaves out the decoding port.
        EXPECT_EQ(Items("ComboBox2"), QStringList({"/dev/ttyUSB1", "/dev/ttyACM0"}));
        EXPECT_EQ(Control<QComboBox>("ComboBox2")->currentText(), "/dev/ttyUSB1");
        EXPECT_TRUE(Control<QPushButton>("Button9")->isEnabled());

        Control<QComboBox>("ComboBox1")->setCurrentText("/dev/ttyACM0");
        ports << "/dev/ttyUSB2";
        Control<QPushButton>("Button9")->click();
        Control<QPushButton>("Button10")->click();
        EXPECT_EQ(Items("ComboBox1"), ports);
        EXPECT_EQ(Control<QComboBox>("ComboBox1")->currentText(), "/dev/ttyACM0");  // the choice stays
        EXPECT_EQ(Items("ComboBox2"), QStringList({"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyUSB2"}));
    }));
    EXPECT_EQ(Reloaded().port, "/dev/ttyACM0");
}

// A stored port that the search does not list (a by-id link, a pseudo-terminal, a device
// unplugged right now) stays selected and is written back as it was, whatever page "Ok" closes.
TEST_F(ConfigPortsTest, AStoredPortTheSearchDoesNotListSurvivesOkOnAnyPage)
{
    settings.port = "/dev/serial/by-id/usb-Prolific_PL2303-if00-port0";
    settings.scanControlPort = "/dev/pts/7";
    Start();
    for (int page : {TcfgForm::kDataPage, TcfgForm::kDecodePage, TcfgForm::kScannerPage}) {
        SCOPED_TRACE(page);
        ASSERT_TRUE(Open(page, [&](TcfgForm&) {
            EXPECT_EQ(Control<QComboBox>("ComboBox1")->currentText(), QString::fromStdString(settings.port));
            EXPECT_EQ(Items("ComboBox1").mid(1), ports);  // the stored port first, then what was found
            EXPECT_EQ(Control<QComboBox>("ComboBox2")->currentText(), "/dev/pts/7");
        }));
        EXPECT_EQ(Reloaded().port, settings.port);
        EXPECT_EQ(Reloaded().scanControlPort, "/dev/pts/7");
    }
}

TEST_F(ConfigPortsTest, PortBoxesTakeATypedDevicePath)
{
    Start();
    ASSERT_TRUE(Open(TcfgForm::kDecodePage, [&](TcfgForm&) {
        auto* list = Control<QComboBox>("ComboBox1");
        ASSERT_TRUE(list->isEditable());
        ASSERT_TRUE(Control<QComboBox>("ComboBox2")->isEditable());
        list->lineEdit()->selectAll();
        list->lineEdit()->insert("/dev/serial/by-id/usb-FTDI_FT232R-if00-port0 ");
        // A rescan keeps what was typed.
        Control<QPushButton>("Button9")->click();
        EXPECT_EQ(list->currentText(), "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
    }));
    EXPECT_EQ(Reloaded().port, "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
}

TEST_F(ConfigPortsTest, NoPortFoundKeepsTheStoredPortsAndNothingStoredSwitchesSecondScannerOff)
{
    settings.scanControlEnabled = true;
    ports.clear();
    Start();
    ASSERT_TRUE(Open(TcfgForm::kScannerPage, [&](TcfgForm&) {
        EXPECT_EQ(Items("ComboBox1"), QStringList({"/dev/ttyUSB0"}));
        EXPECT_EQ(Items("ComboBox2"), QStringList({"/dev/ttyUSB1"}));
        EXPECT_TRUE(Control<QCheckBox>("CheckBox5")->isChecked());
    }));
    Settings stored = Reloaded();
    EXPECT_TRUE(stored.scanControlEnabled);
    EXPECT_EQ(stored.port, "/dev/ttyUSB0");
    EXPECT_EQ(stored.scanControlPort, "/dev/ttyUSB1");

    window->AppSettings().scanControlPort.clear();
    ASSERT_TRUE(Open(TcfgForm::kScannerPage, [&](TcfgForm&) {
        EXPECT_EQ(Control<QComboBox>("ComboBox2")->count(), 0);
        EXPECT_FALSE(Control<QCheckBox>("CheckBox5")->isChecked());
        EXPECT_FALSE(Control<QComboBox>("ComboBox2")->isEnabled());
    }));
    stored = Reloaded();
    EXPECT_FALSE(stored.scanControlEnabled);
    EXPECT_EQ(stored.port, "/dev/ttyUSB0");
}

TEST_F(ConfigPortsTest, ProfileListHoldsTheWritableScannerFiles)
{
    namespace fs = std::filesystem;
    const fs::path folder = Folder();
    for (const char* name : {"BC250D.scanner", "psr500.SCANNER", ".hidden.scanner", "locked.scanner", "notes.txt"})
        std::ofstream(folder / name) << "[Scanner]\r\n";
    fs::permissions(folder / "locked.scanner", fs::perms::owner_read | fs::perms::group_read);
    fs::create_directory(folder / "folder.scanner");
    settings.profile = "psr500.SCANNER";
    Start();
    ASSERT_TRUE(Open(TcfgForm::kScannerPage, [&](TcfgForm&) {
        EXPECT_EQ(Items("ComboBox3"), QStringList({"BC250D.scanner", "psr500.SCANNER"}));
        EXPECT_EQ(Control<QComboBox>("ComboBox3")->currentText(), "psr500.SCANNER");
        Control<QComboBox>("ComboBox3")->setCurrentIndex(0);
    }));
    EXPECT_EQ(Reloaded().profile, "BC250D.scanner");

    // A profile that is not there any more is selected by nothing, and stays stored.
    window->AppSettings().profile = "Gone.scanner";
    ASSERT_TRUE(Open(TcfgForm::kScannerPage,
                     [&](TcfgForm&) { EXPECT_EQ(Control<QComboBox>("ComboBox3")->currentIndex(), -1); }));
    EXPECT_EQ(Reloaded().profile, "Gone.scanner");
}

// The examples installed with the program are offered beside the user's own profiles; a profile
// of the user's with the same name (in any case) hides the example, and an examples folder that
// is the program folder itself lists nothing twice.
TEST(ConfigProfileNames, InstalledExamplesJoinTheUsersProfiles)
{
    namespace fs = std::filesystem;
    QTemporaryDir root;
    const fs::path own = fs::path(root.path().toStdString()) / "own";
    const fs::path examples = fs::path(root.path().toStdString()) / "share" / "varnel" / "profiles";
    fs::create_directories(own);
    fs::create_directories(examples);
    for (const char* name : {"Mine.scanner", "example-text.SCANNER"})
        std::ofstream(own / name) << "[Scanner]\r\n";
    for (const char* name : {"Example-Text.scanner", "Example-Binary.scanner", "README"})
        std::ofstream(examples / name) << "[Scanner]\r\n";

    EXPECT_EQ(TcfgForm::ProfileNames(own.string() + "/", examples.string() + "/"),
              QStringList({"Example-Binary.scanner", "example-text.SCANNER", "Mine.scanner"}));
    EXPECT_EQ(TcfgForm::ProfileNames(own.string() + "/", ""), QStringList({"example-text.SCANNER", "Mine.scanner"}));
    EXPECT_EQ(TcfgForm::ProfileNames(examples.string(), examples.string() + "/"),
              QStringList({"Example-Binary.scanner", "Example-Text.scanner"}));
}

}  // namespace
