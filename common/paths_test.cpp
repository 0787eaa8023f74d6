#include <gtest/gtest.h>

#include "common/paths.h"

namespace velmora {
namespace {

TEST(Paths, FileBesideTheProgram) {
    const struct {
        const char* folder;
        const char* expected;
    } cases[] = {
        {"C:\\Tools\\Player", "C:\\Tools\\Player\\update.exe"},
        {"C:\\Tools\\Player\\", "C:\\Tools\\Player\\update.exe"},
        {"C:\\", "C:\\update.exe"},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgramFolderFile(c.folder, "update.exe"), c.expected);
}

TEST(Paths, ConfigFileAddsBackslashOnlyToPathsLongerThanThree) {
    const struct {
        const char* folder;
        const char* expected;
    } cases[] = {
        {"C:\\", "C:\\config.ini"},
        {"C:\\Tools\\Player", "C:\\Tools\\Player\\config.ini"},
        {"D:\\a", "D:\\a\\config.ini"},
        {"\\\\", "\\\\config.ini"},
    };
    for (const auto& c : cases) EXPECT_EQ(ConfigFilePath(c.folder), c.expected);
}

}  // namespace
}  // namespace velmora
