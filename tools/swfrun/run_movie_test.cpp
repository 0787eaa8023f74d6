#include "tools/swfrun/run_movie.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace velmora::swfrun {
namespace {

TEST(ReadMovieFile, ServesOnlyFilesBesideTheMovie) {
    namespace fs = std::filesystem;
    fs::path root = fs::temp_directory_path() / ("swfrun_read_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::create_directories(root / "movie" / "data");
    std::ofstream(root / "movie" / "data" / "a.xml") << "<a/>";
    std::ofstream(root / "secret.txt") << "no";
    const std::string folder = (root / "movie").string();
    const struct {
        const char* url;
        const char* expected;  // nullptr: refused
    } cases[] = {
        {"data/a.xml", "<a/>"},
        {"data/a.xml?nocache=123", "<a/>"},
        {"data/a.xml#top", "<a/>"},
        {"../secret.txt", nullptr},
        {"data/../../secret.txt", nullptr},
        {"/etc/passwd", nullptr},
        {"http://example.com/a.xml", nullptr},
        {"file:///etc/passwd", nullptr},
        {"C:/windows/win.ini", nullptr},
        {"data", nullptr},  // a folder
        {"missing.xml", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        std::optional<std::string> got = ReadMovieFile(folder, c.url);
        if (c.expected) {
            ASSERT_TRUE(got.has_value()) << c.url;
            EXPECT_EQ(*got, c.expected) << c.url;
        } else {
            EXPECT_FALSE(got.has_value()) << c.url;
        }
    }
    EXPECT_FALSE(ReadMovieFile("", "data/a.xml").has_value());
    fs::remove_all(root);
}

}  // namespace
}  // namespace velmora::swfrun
