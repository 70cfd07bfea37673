#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/ProgramFolder.h"
#include "support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

// Sets environment variables for one test and puts the old values back afterwards.
class ProgramFolderChoice : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : kNames) {
            const char* v = std::getenv(name);
            saved_.push_back(v ? std::optional<std::string>(v) : std::nullopt);
            ::unsetenv(name);
        }
        ::setenv("HOME", (dir.Path() / "home").c_str(), 1);
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

    static constexpr const char* kNames[] = {"VARNEL_HOME", "XDG_DATA_HOME", "HOME"};
    std::vector<std::optional<std::string>> saved_;
    ScratchFolder dir;
};

TEST_F(ProgramFolderChoice, ArgumentThenEnvironmentThenExecutableFolder)
{
    const std::string bin = (dir.Path() / "bin").string();
    fs::create_directories(bin);
    const std::string argv0 = bin + "/varnel";
    ::setenv("VARNEL_HOME", (dir.Path() / "env").c_str(), 1);

    const std::string fromArg = ChooseProgramFolder((dir.Path() / "arg" / "deep").string(), argv0.c_str());
    EXPECT_EQ(fromArg, (dir.Path() / "arg" / "deep").string() + "/");
    EXPECT_TRUE(fs::is_directory(fromArg));  // created when missing

    EXPECT_EQ(ChooseProgramFolder("", argv0.c_str()), (dir.Path() / "env").string() + "/");
    ::setenv("VARNEL_HOME", "", 1);  // empty counts as unset
    EXPECT_EQ(ChooseProgramFolder("", argv0.c_str()), bin + "/");
}

TEST_F(ProgramFolderChoice, UserDataFolderWhenExecutableFolderIsNotWritable)
{
    const std::string argv0 = (dir.Path() / "gone" / "varnel").string();  // no such folder
    ::setenv("XDG_DATA_HOME", (dir.Path() / "xdg").c_str(), 1);
    EXPECT_EQ(ChooseProgramFolder("", argv0.c_str()), (dir.Path() / "xdg" / "varnel").string() + "/");
    ::setenv("XDG_DATA_HOME", "relative/ignored", 1);
    const std::string home = ChooseProgramFolder("", argv0.c_str());
    EXPECT_EQ(home, (dir.Path() / "home" / ".local" / "share" / "varnel").string() + "/");
    EXPECT_TRUE(fs::is_directory(home));
}

TEST_F(ProgramFolderChoice, RelativeArgumentBecomesAbsolute)
{
    const fs::path before = fs::current_path();
    fs::current_path(dir.Path());
    const std::string folder = ChooseProgramFolder("data", nullptr);
    fs::current_path(before);
    EXPECT_EQ(folder, (dir.Path() / "data").string() + "/");
}

TEST(SettingsFileName, ProgramNameWithIni)
{
    EXPECT_EQ(SettingsFilePath("/opt/v/", "/usr/bin/varnel"), "/opt/v/varnel.INI");
    EXPECT_EQ(SettingsFilePath("/opt/v", nullptr), "/opt/v/varnel.INI");
    EXPECT_EQ(SettingsFilePath("/opt/v/", "./varnel-dev"), "/opt/v/varnel-dev.INI");
}

}  // namespace
