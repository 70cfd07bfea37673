#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/DataPaths.h"
#include "platform/ProgramFolder.h"
#include "support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

// Trees as they are found on disk: an installed tree, the build tree, a lone copy of the program.
class DataPathsLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : kNames) {
            const char* v = std::getenv(name);
            saved_.push_back(v ? std::optional<std::string>(v) : std::nullopt);
            ::unsetenv(name);
        }
    }
    void TearDown() override
    {
        for (size_t i = 0; i < std::size(kNames); ++i) {
            if (saved_[i])
                ::setenv(kNames[i], saved_[i]->c_str(), 1);
            else
                ::unsetenv(kNames[i]);
        }
    }
    // `folder`/share/varnel with a demo capture and a profile.
    fs::path MakeData(const fs::path& folder)
    {
        const fs::path data = folder / "share" / "varnel";
        ScratchFolder::Write(data / "demo" / "demo-capture.txt", "BA0005\n");
        ScratchFolder::Write(data / "profiles" / "Example-Text.scanner", "[Scanner]\n");
        return data;
    }
    std::string S(const fs::path& p) { return p.string(); }

    static constexpr const char* kNames[] = {"VARNEL_DEMO_CAPTURE", "VARNEL_HOME", "XDG_DATA_HOME", "HOME"};
    std::vector<std::optional<std::string>> saved_;
    ScratchFolder dir;
};

TEST_F(DataPathsLayout, DataIsFoundBesideTheExecutableWhereverTheTreeIs)
{
    const fs::path installed = dir.Path() / "moved" / "usr";
    const fs::path installedData = MakeData(installed);
    fs::create_directories(installed / "bin");
    const fs::path build = dir.Path() / "build";
    const fs::path buildData = MakeData(build);
    const fs::path lone = dir.Path() / "lone";
    fs::create_directories(lone);
    const fs::path binAlone = dir.Path() / "other" / "bin";
    fs::create_directories(binAlone);

    struct Case {
        fs::path exeFolder;
        std::string data;      // InstalledDataFolder
        bool installedLayout;  // IsInstalledLayout
    };
    const Case cases[] = {
        {installed / "bin", S(installedData) + "/", true},
        {installed / "bin/", S(installedData) + "/", true},
        {build, S(buildData) + "/", false},
        {lone, "", false},
        {binAlone, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exeFolder.string());
        EXPECT_EQ(InstalledDataFolder(c.exeFolder), c.data);
        EXPECT_EQ(IsInstalledLayout(c.exeFolder), c.installedLayout);
        if (c.data.empty()) {
            EXPECT_EQ(ExampleProfileFolder(c.exeFolder), "");
            // The path a message can name: where an installed tree would hold the capture.
            EXPECT_EQ(DemoCaptureFile(c.exeFolder),
                      (c.exeFolder / ".." / "share/varnel/demo/demo-capture.txt").lexically_normal().string());
        } else {
            EXPECT_EQ(ExampleProfileFolder(c.exeFolder), c.data + "profiles/");
            EXPECT_EQ(DemoCaptureFile(c.exeFolder), c.data + "demo/demo-capture.txt");
            EXPECT_TRUE(fs::is_regular_file(DemoCaptureFile(c.exeFolder)));
        }
    }

    // The environment names another capture; an empty value counts as unset.
    ::setenv("VARNEL_DEMO_CAPTURE", "/elsewhere/capture.txt", 1);
    EXPECT_EQ(DemoCaptureFile(installed / "bin"), "/elsewhere/capture.txt");
    ::setenv("VARNEL_DEMO_CAPTURE", "", 1);
    EXPECT_EQ(DemoCaptureFile(installed / "bin"), S(installedData) + "/demo/demo-capture.txt");
}

TEST_F(DataPathsLayout, InstalledBinFolderIsNeverTheProgramFolder)
{
    // Writable, as it is for root or for a tree unpacked into the user's home.
    const fs::path usr = dir.Path() / "usr";
    MakeData(usr);
    fs::create_directories(usr / "bin");
    ::setenv("HOME", (dir.Path() / "home").c_str(), 1);
    EXPECT_EQ(ChooseProgramFolder("", (usr / "bin" / "varnel").c_str()),
              (dir.Path() / "home" / ".local" / "share" / "varnel").string() + "/");
    // The build tree's folder stays a portable program folder.
    const fs::path build = dir.Path() / "build";
    MakeData(build);
    EXPECT_EQ(ChooseProgramFolder("", (build / "varnel").c_str()), build.string() + "/");
}

}  // namespace
