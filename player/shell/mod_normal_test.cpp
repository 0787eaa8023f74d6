#include <gtest/gtest.h>

#include "common/paths.h"
#include "player/shell/mod_normal.h"
#include "toolkit/form.h"

namespace velmora::player {
namespace {

TEST(ModNormal, ConfigValuesGoToConfigIniBesideTheProgram) {
    const std::string path = ConfigFilePath(ProgramFolder());
    DeleteFileA(path.c_str());
    EXPECT_EQ(ReadConfigValue("CONFIG", "LIST"), "");
    WriteConfigValue("CONFIG", "LIST", "favorite");
    WriteConfigValue("VERSION", "DetectSoftVer", "2.2");
    EXPECT_EQ(ReadConfigValue("CONFIG", "LIST"), "favorite");
    EXPECT_EQ(ReadConfigValue("VERSION", "DetectSoftVer"), "2.2");
    EXPECT_EQ(GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES, true) << path;
    DeleteFileA(path.c_str());
}

TEST(ModNormal, TopMostKeepsPositionAndSize) {
    toolkit::Form form({L"VelmoraTopMostTest", L"topmost", 3000, 2000}, {});
    ASSERT_TRUE(form.Create());
    RECT before, after;
    GetWindowRect(form.Handle(), &before);
    SetTopMost(form.Handle());
    EXPECT_TRUE(GetWindowLongPtrW(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    GetWindowRect(form.Handle(), &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    SetNoTopMost(form.Handle());
    EXPECT_FALSE(GetWindowLongPtrW(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(ModNormal, StartingAMissingProgramIsIgnored) {
    EXPECT_FALSE(StartProgram(ProgramFolderFile(ProgramFolder(), "no-such-update.exe")));
    RunUpdater();  // no update.exe beside the tests: nothing happens, nothing is reported
    char cmd[MAX_PATH];
    GetSystemDirectoryA(cmd, MAX_PATH);
    EXPECT_TRUE(StartProgram(std::string(cmd) + "\\hostname.exe"));
}

}  // namespace
}  // namespace velmora::player
