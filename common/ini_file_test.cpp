#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "common/ini_file.h"
#include "common/text.h"

namespace velmora {
namespace {

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        m_path = std::string(dir) + "velmora_ini_test.ini";
        DeleteFileA(m_path.c_str());
        m_ini.File = m_path;
    }
    void TearDown() override { DeleteFileA(m_path.c_str()); }
    std::string FileBytes() const {
        std::ifstream in(m_path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::string m_path;
    IniFile m_ini;
};

TEST_F(IniFileTest, MissingFileSectionOrKeyReadsEmpty) {
    EXPECT_EQ(m_ini.GetSetting("CONFIG", "LIST"), "");
    ASSERT_NE(m_ini.SaveSetting("CONFIG", "UI", "1"), 0);
    EXPECT_EQ(m_ini.GetSetting("CONFIG", "LIST"), "");
    EXPECT_EQ(m_ini.GetSetting("VERSION", "UI"), "");
    EXPECT_EQ(m_ini.GetSetting("CONFIG", "UI"), "1");
}

TEST_F(IniFileTest, WritesSectionsAndKeysInTheAnsiCodePage) {
    m_ini.SaveSetting("CONFIG", "LIST", "favorite");
    m_ini.SaveSetting("VERSION", "DetectSoftVer", "2.2");
    m_ini.SaveSetting("CONFIG", "Name", "播放列表");
    EXPECT_EQ(m_ini.GetSetting("CONFIG", "Name"), "播放列表");
    EXPECT_EQ(m_ini.GetSetting("VERSION", "DetectSoftVer"), "2.2");
    const std::string bytes = FileBytes();
    EXPECT_NE(bytes.find("[CONFIG]\r\nLIST=favorite\r\nName=\xB2\xA5\xB7\xC5\xC1\xD0\xB1\xED"),
              std::string::npos)
        << bytes;
    EXPECT_NE(bytes.find("[VERSION]\r\nDetectSoftVer=2.2"), std::string::npos) << bytes;
}

TEST_F(IniFileTest, LongValuesComeBackCutTo254) {
    const std::string value(300, 'x');
    m_ini.SaveSetting("CONFIG", "Long", value);
    EXPECT_EQ(m_ini.GetSetting("CONFIG", "Long"), std::string(254, 'x'));
    EXPECT_NE(FileBytes().find(value), std::string::npos);  // the file keeps all of it
}

TEST_F(IniFileTest, RewritingAKeyReplacesItsValue) {
    m_ini.SaveSetting("CONFIG", "RightPanel", "1");
    m_ini.SaveSetting("CONFIG", "RightPanel", "0");
    EXPECT_EQ(m_ini.GetSetting("CONFIG", "RightPanel"), "0");
}

TEST_F(IniFileTest, UnwritableFolderFailsQuietly) {
    m_ini.File = "Q:\\no such folder\\config.ini";
    EXPECT_EQ(m_ini.SaveSetting("CONFIG", "UI", "1"), 0);
    EXPECT_EQ(m_ini.GetSetting("CONFIG", "UI"), "");
}

}  // namespace
}  // namespace velmora
