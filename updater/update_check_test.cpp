#include <gtest/gtest.h>

#include <map>

#include "updater/update_check.h"

namespace velmora::updater {
namespace {

const std::string kSoftNotice = "· 本软件已经发布更新的版本，推荐下载使用！\r\n   版本号：Ver2.2\r\n\r\n";
const std::string kListNotice =
    "· 已经发布更新的网络影片列表，推荐升级使用！\r\n"
    "   注意：1. 更新前请关闭播放软件，否则将会导致更新无效！\r\n"
    "         2. 有必须要的话，请导出您的播放列表，因为升级后原列表将会被替换。";

// A server, a config.ini section and a network.nlst in memory.
struct World {
    std::map<std::string, std::optional<std::string>> server;
    std::map<std::string, std::string> config;
    std::optional<std::string> writtenList;
    bool listWritable = true;
    double random = 0.5;

    UpdateCheck Check() {
        return UpdateCheck({
            [this](std::string_view file) {
                const auto found = server.find(std::string(file));
                return found == server.end() ? std::nullopt : found->second;
            },
            [this](std::string_view key) { return config[std::string(key)]; },
            [this](std::string_view key, std::string_view value) { config[std::string(key)] = value; },
            [this](std::string_view text) {
                if (!listWritable) return false;
                writtenList = std::string(text);
                return true;
            },
            [this] { return random; },
        });
    }
};

TEST(UpdateCheck, ProgramVersionIsAnnouncedOnlyWhenAboveOwn) {
    const struct {
        std::optional<std::string> served;
        bool announced;
    } cases[] = {
        {"2.1", false}, {"2.10", false}, {"2.0", false}, {"abc", false},
        {"", false},    {std::nullopt, false}, {"2.2", true}, {"3", true},
    };
    for (const auto& c : cases) {
        World world;
        world.server["softver.txt"] = c.served;
        UpdateCheck check = world.Check();
        EXPECT_EQ(check.DetectSoftUpdate(), c.announced) << c.served.value_or("(failed)");
        EXPECT_EQ(world.config.count("DetectSoftVer"), c.announced ? 1u : 0u);
        EXPECT_EQ(check.Info().empty(), !c.announced);
    }
}

TEST(UpdateCheck, AnnouncementWritesNoticeAndStoresTheVersion) {
    World world;
    world.server["softver.txt"] = "2.2\r\n";
    UpdateCheck check = world.Check();
    ASSERT_TRUE(check.DetectSoftUpdate());
    EXPECT_EQ(check.Info(), kSoftNotice);
    EXPECT_EQ(world.config["DetectSoftVer"], "2.2") << "the line break must not reach config.ini";
}

TEST(UpdateCheck, UnchangedAnnouncementRepeatsAtAboutOneStartInTen) {
    for (const auto& [random, announced] : {std::pair{0.5, false}, {0.11, false}, {0.1, true}, {0.0, true}}) {
        World world;
        world.server["softver.txt"] = "2.2";
        world.config["DetectSoftVer"] = "2.2";
        world.random = random;
        EXPECT_EQ(world.Check().DetectSoftUpdate(), announced) << random;
    }
    World world;  // a different stored version is announced whatever the draw
    world.server["softver.txt"] = "2.3";
    world.config["DetectSoftVer"] = "2.2";
    world.random = 0.99;
    EXPECT_TRUE(world.Check().DetectSoftUpdate());
}

TEST(UpdateCheck, ListVersionIsAnnouncedWhenAboveTheInstalledOne) {
    const struct {
        const char* stored;
        std::optional<std::string> served;
        bool announced;
    } cases[] = {
        {"3", "3.5", true}, {"", "1", true},  {"3.5", "3.5", false}, {"4", "3.5", false},
        {"3", "", false},   {"3", std::nullopt, false}, {"", "0", false},
    };
    for (const auto& c : cases) {
        World world;
        world.config["DetectNlstVer"] = c.stored;
        world.server["nlstver.txt"] = c.served;
        UpdateCheck check = world.Check();
        EXPECT_EQ(check.DetectNlstVer(), c.announced) << c.stored;
        EXPECT_EQ(check.Info(), c.announced ? kListNotice : "");
        EXPECT_EQ(world.config["DetectNlstVer"], c.stored) << "nothing is stored by the check";
    }
}

TEST(UpdateCheck, BothNoticesInOrder) {
    World world;
    world.server["softver.txt"] = "2.2";
    world.server["nlstver.txt"] = "3.5";
    UpdateCheck check = world.Check();
    ASSERT_TRUE(check.DetectSoftUpdate());
    ASSERT_TRUE(check.DetectNlstVer());
    EXPECT_EQ(check.Info(), kSoftNotice + kListNotice);
}

TEST(UpdateCheck, ListUpdateWritesTheListAndStoresTheVersionSeenAtStart) {
    World world;
    world.config["DetectNlstVer"] = "3";
    world.server["nlstver.txt"] = "3.5";
    world.server["nlst.txt"] = "[分类]\r\nmovie";
    UpdateCheck check = world.Check();
    ASSERT_TRUE(check.DetectNlstVer());
    world.server["nlstver.txt"] = "9";  // read once at start, not again
    EXPECT_EQ(check.UpdateList(), ListUpdate::Done);
    EXPECT_EQ(world.writtenList, "[分类]\r\nmovie");
    EXPECT_EQ(world.config["DetectNlstVer"], "3.5");
}

TEST(UpdateCheck, FailedListUpdateLeavesListAndVersionAlone) {
    const struct {
        std::optional<std::string> served;
        bool writable;
    } cases[] = {{"", true}, {std::nullopt, true}, {"list", false}};
    for (const auto& c : cases) {
        World world;
        world.config["DetectNlstVer"] = "3";
        world.server["nlstver.txt"] = "3.5";
        world.server["nlst.txt"] = c.served;
        world.listWritable = c.writable;
        UpdateCheck check = world.Check();
        ASSERT_TRUE(check.DetectNlstVer());
        EXPECT_EQ(check.UpdateList(), ListUpdate::Failed);
        EXPECT_FALSE(world.writtenList);
        EXPECT_EQ(world.config["DetectNlstVer"], "3");
    }
}

}  // namespace
}  // namespace velmora::updater
