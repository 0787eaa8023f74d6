#include "engine/text/font_names.h"

#include <algorithm>
#include <cctype>

namespace velmora::text {

namespace {

struct Alias {
    std::string_view name;
    std::vector<std::string_view> fonts;
};

// Names compare without case (ASCII); Chinese names as written.
bool Same(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

const std::vector<Alias>& Aliases() {
    static const std::vector<Alias> kAliases = {
        {"_sans", {"Microsoft YaHei", "微软雅黑", "SimHei", "黑体", "WenQuanYi Micro Hei", "WenQuanYi Zen Hei"}},
        {"_serif", {"SimSun", "宋体", "NSimSun", "WenQuanYi Zen Hei", "WenQuanYi Micro Hei"}},
        {"_typewriter",
         {"NSimSun", "新宋体", "Courier New", "WenQuanYi Micro Hei Mono", "WenQuanYi Zen Hei Mono"}},
        {"宋体", {"SimSun", "宋体"}},
        {"SimSun", {"SimSun", "宋体"}},
        {"新宋体", {"NSimSun", "新宋体"}},
        {"黑体", {"SimHei", "黑体"}},
        {"SimHei", {"SimHei", "黑体"}},
        {"微软雅黑", {"Microsoft YaHei", "微软雅黑"}},
        {"楷体_GB2312", {"KaiTi_GB2312", "KaiTi", "楷体"}},
        {"楷体", {"KaiTi", "楷体", "KaiTi_GB2312"}},
        {"仿宋_GB2312", {"FangSong_GB2312", "FangSong", "仿宋"}},
        {"隶书", {"LiSu", "隶书"}},
        {"幼圆", {"YouYuan", "幼圆"}},
    };
    return kAliases;
}

// What every name ends with: fonts with Chinese glyphs.
constexpr std::string_view kChineseFallbacks[] = {"SimSun", "宋体", "Microsoft YaHei", "SimHei",
                                                  "WenQuanYi Micro Hei", "WenQuanYi Zen Hei"};

}  // namespace

std::vector<std::string> DeviceFontCandidates(std::string_view name) {
    std::vector<std::string> out;
    auto add = [&](std::string_view font) {
        if (font.empty()) return;
        for (const auto& f : out)
            if (Same(f, font)) return;
        out.emplace_back(font);
    };
    bool generic = !name.empty() && name[0] == '_';
    for (const Alias& alias : Aliases()) {
        if (!Same(alias.name, name)) continue;
        for (std::string_view font : alias.fonts) add(font);
    }
    if (!generic) add(name);
    for (std::string_view font : kChineseFallbacks) add(font);
    return out;
}

}  // namespace velmora::text
