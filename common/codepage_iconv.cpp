// ANSI code page conversion off Windows: iconv with code page 936, the code page of our
// users' systems, so portable tools read and write the same files the player does.
#include <iconv.h>

#include <bit>
#include <cerrno>

#include "common/text.h"

namespace velmora {

namespace {

// Converts with iconv, replacing what cannot be converted by `fallback` and skipping one
// input unit, so the result keeps its length in characters.
std::string Convert(const char* to, const char* from, std::string_view in, std::string_view fallback,
                    size_t unit) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out;
    char buffer[256];
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            out.append(fallback);
            const size_t skip = srcLeft < unit ? srcLeft : unit;
            src += skip;
            srcLeft -= skip;
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string Utf8ToAnsi(std::string_view utf8) {
    // Convert from UTF-32 so an unconvertible character is skipped whole.
    static_assert(std::endian::native == std::endian::little);
    const std::u32string u32 = Utf8ToUtf32(utf8);
    const std::string_view bytes(reinterpret_cast<const char*>(u32.data()), u32.size() * 4);
    return Convert("CP936", "UTF-32LE", bytes, "?", 4);
}

std::string AnsiToUtf8(std::string_view ansi) {
    return Convert("UTF-8", "CP936", ansi, "\xEF\xBF\xBD", 1);
}

}  // namespace velmora
