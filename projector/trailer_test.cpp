#include <gtest/gtest.h>

#include "projector/trailer.h"

namespace velmora::projector {
namespace {

const std::vector<uint8_t> kProgram = {'M', 'Z', 1, 2, 3, 4, 5, 6, 7, 8};
const std::vector<uint8_t> kMovie = {'F', 'W', 'S', 6, 20, 0, 0, 0, 9, 9, 9, 9};

TEST(Trailer, AppendedMovieIsFoundAgain) {
    const std::vector<uint8_t> file = AppendMovie(kProgram, kMovie);
    ASSERT_EQ(file.size(), kProgram.size() + kMovie.size() + 8);
    const std::vector<uint8_t> trailer(file.end() - 8, file.end());
    EXPECT_EQ(trailer, (std::vector<uint8_t>{0x56, 0x34, 0x12, 0xFA, 12, 0, 0, 0}));
    const auto movie = FindAppendedMovie(file);
    ASSERT_TRUE(movie);
    EXPECT_EQ(std::vector<uint8_t>(movie->begin(), movie->end()), kMovie);
}

TEST(Trailer, FilesWithoutAMovie) {
    std::vector<uint8_t> tooLong = AppendMovie(kProgram, kMovie);
    tooLong[tooLong.size() - 1] = 0x7F;  // a length far beyond the file
    std::vector<uint8_t> notAMovie = AppendMovie(kProgram, std::vector<uint8_t>(12, 'x'));
    std::vector<uint8_t> wrongMagic = AppendMovie(kProgram, kMovie);
    wrongMagic[wrongMagic.size() - 8] = 0x57;
    const std::vector<uint8_t> cases[] = {
        kProgram, {}, {0x56, 0x34, 0x12, 0xFA}, tooLong, notAMovie, wrongMagic,
        AppendMovie(kProgram, {}),
    };
    for (const auto& file : cases) EXPECT_FALSE(FindAppendedMovie(file)) << file.size();
}

TEST(Trailer, MovieFillingTheWholeFileBeforeTheTrailer) {
    const auto file = AppendMovie({}, kMovie);
    const auto movie = FindAppendedMovie(file);
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->size(), kMovie.size());
}

}  // namespace
}  // namespace velmora::projector
