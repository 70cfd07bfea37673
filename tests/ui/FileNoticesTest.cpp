#include <QLabel>
#include <QMessageBox>

#include <filesystem>

#include "MainWindowFixture.h"
#include "platform/FolderLock.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/views/ListModel.h"

namespace {

using namespace ui_names;
using uitest::MainWindowFixture;
using uitest::ModalAnswerer;

// A second desktop program on a held folder says so in a message box and ends with status 2.
TEST(DesktopStart, RefusedWhenTheFolderIsInUse)
{
    const std::string text = FolderLock::InUseText("/data/varnel/", 4321);
    ModalAnswerer answerer;
    int argc = 1;
    char name[] = "varnel";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(RefuseDesktopStart(argc, argv, text), 2);
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen[0].title, "Varnel P25 CC Decoder");
    EXPECT_EQ(answerer.seen[0].text.toStdString(), text);
}

class FileNotices : public MainWindowFixture { };

// A settings file that cannot be read shows in the status line, the event log and one message,
// and is not replaced.
TEST_F(FileNotices, UnreadableSettingsFileIsShownAndKept)
{
    const std::string broken = Folder() + "broken.INI";
    std::filesystem::create_directory(broken);
    MainWindowOptions options;
    options.programFolder = Folder();
    options.settingsPath = broken;
    options.clock = &clock;
    window = CreateDesktopWindows(std::move(options));
    window->show();
    ASSERT_TRUE(uitest::PumpUntil([this] { return window->Decoder() != nullptr; }));
    QCoreApplication::processEvents();

    auto* label = Find<QLabel>(kStatusFileNotice);
    ASSERT_NE(label, nullptr);
    const QString expected = QString::fromStdString("cannot read " + broken + " (a folder, not a file)");
    EXPECT_TRUE(label->text().startsWith(expected)) << label->text().toStdString();
    ListModel* events = FindListModel(window.get(), kListOtherEvents);
    ASSERT_NE(events, nullptr);
    ASSERT_EQ(events->Count(), 1);
    EXPECT_TRUE(events->Cell(0, 2).startsWith(expected));
    const auto boxes = window->findChildren<QMessageBox*>("FileNoticeBox");
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0]->text().startsWith(expected));
    EXPECT_TRUE(std::filesystem::is_directory(broken));
}

}  // namespace
