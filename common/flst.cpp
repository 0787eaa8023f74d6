#include "common/flst.h"

#include "common/text.h"

namespace velmora::flst {

namespace {

const std::string kGap(kGapLength, ' ');

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

size_t CharacterCount(std::string_view text) {
    size_t count = 0;
    for (const char c : text) count += IsContinuation(c) ? 0 : 1;
    return count;
}

}  // namespace

std::string MakeCaption(std::string_view title, std::string_view path) {
    std::string caption;
    caption.reserve(title.size() + kGapLength + path.size());
    caption.append(title).append(kGap).append(path);
    return caption;
}

std::optional<CaptionParts> SplitCaption(std::string_view caption) {
    const size_t gap = caption.find(kGap);
    if (gap == std::string_view::npos) return std::nullopt;
    return CaptionParts{std::string(TrimSpaces(caption.substr(0, gap))),
                        std::string(TrimSpaces(caption.substr(gap + kGapLength)))};
}

std::string_view TrimSpaces(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string CaptionToLine(std::string_view caption) {
    std::string line;
    line.reserve(caption.size());
    for (size_t pos = 0;;) {
        const size_t gap = caption.find(kGap, pos);
        if (gap == std::string_view::npos) {
            line.append(caption.substr(pos));
            return line;
        }
        line.append(caption.substr(pos, gap - pos)).push_back('*');
        pos = gap + kGapLength;
    }
}

std::optional<std::string> LineToCaption(std::string_view line) {
    std::string caption;
    for (const char c : TrimSpaces(line)) {
        if (c == '*')
            caption.append(kGap);
        else
            caption.push_back(c);
    }
    if (CharacterCount(caption) <= kGapLength) return std::nullopt;
    return caption;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t pos = 0; pos < text.size(); ++pos) {
        if (text[pos] != '\r') continue;
        lines.emplace_back(text.substr(start, pos - start));
        if (pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
        start = pos + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::string> DecodeList(std::string_view fileBytes) {
    std::vector<std::string> captions;
    for (const std::string& line : SplitLines(fileBytes)) {
        if (auto caption = LineToCaption(AnsiToUtf8(line))) captions.push_back(std::move(*caption));
    }
    return captions;
}

std::string EncodeLine(std::string_view caption) {
    return Utf8ToAnsi(CaptionToLine(caption)) + "\r\n";
}

std::string EncodeList(const std::vector<std::string>& captions) {
    std::string bytes;
    for (const std::string& caption : captions) bytes += EncodeLine(caption);
    return bytes;
}

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string_view FileNameOf(std::string_view path) {
    const size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::optional<std::string> DropLastCharacters(std::string_view text, size_t count) {
    size_t end = text.size();
    for (size_t dropped = 0; dropped < count; ++dropped) {
        if (end == 0) return std::nullopt;
        --end;
        while (end > 0 && IsContinuation(text[end])) --end;
    }
    return std::string(text.substr(0, end));
}

std::optional<std::string> DialogTitle(std::string_view fileName) {
    return DropLastCharacters(fileName, 4);
}

std::string FolderScanTitle(std::string_view fileName) {
    std::string title = LowerCase(fileName);
    // One pass from the left, so letters that close up after a removal stay.
    for (size_t pos = 0; (pos = title.find(".swf", pos)) != std::string::npos;) title.erase(pos, 4);
    return title;
}

std::optional<std::string> PathTitle(std::string_view path) {
    return DropLastCharacters(FileNameOf(path), 4);
}

bool IsMovieCommandLine(std::string_view commandLine) {
    return !commandLine.empty() && commandLine.find('/') == std::string_view::npos;
}

std::vector<std::string> CommandLineMovieLines(std::string_view commandLine) {
    std::vector<std::string> lines;
    const auto emit = [&](const std::string& token) {
        // Tokens reaching here end in ".swf", so the title always exists.
        if (auto title = PathTitle(token)) lines.push_back(*title + "*" + token);
    };
    const std::string text = LowerCase(TrimSpaces(commandLine));
    std::string token;
    bool inQuotes = false;
    for (const char c : text) {
        if (c == '"') {
            if (inQuotes && EndsWith(token, ".swf")) emit(token);
            if (inQuotes) token.clear();
            inQuotes = !inQuotes;
        } else if (c == ' ' && !inQuotes) {
            if (!TrimSpaces(token).empty() && EndsWith(token, ".swf")) emit(token);
            token.clear();
        } else {
            token.push_back(c);
        }
    }
    if (!token.empty() && EndsWith(token, ".swf")) emit(token);
    return lines;
}

}  // namespace velmora::flst
