#include "engine/text/formatted_text.h"

#include <algorithm>

namespace velmora::text {

void FormattedText::Split(size_t at) {
    for (size_t i = 0; i < m_runs.size(); ++i) {
        Run& r = m_runs[i];
        if (at > r.begin && at < r.end) {
            Run tail{at, r.end, r.format};
            r.end = at;
            m_runs.insert(m_runs.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(tail));
            return;
        }
    }
}

void FormattedText::Normalize() {
    std::vector<Run> out;
    for (Run& r : m_runs) {
        if (r.begin >= r.end) continue;
        if (!out.empty() && out.back().format == r.format && out.back().end == r.begin) {
            out.back().end = r.end;
        } else {
            out.push_back(std::move(r));
        }
    }
    m_runs = std::move(out);
}

void FormattedText::Replace(size_t begin, size_t end, std::u16string_view text, const TextFormat& format) {
    begin = std::min(begin, Length());
    end = std::clamp(end, begin, Length());
    Split(begin);
    Split(end);
    const size_t removed = end - begin;
    std::vector<Run> out;
    bool inserted = false;
    auto insert = [&] {
        if (!inserted && !text.empty()) out.push_back({begin, begin + text.size(), format});
        inserted = true;
    };
    for (Run& r : m_runs) {
        if (r.end <= begin) {
            out.push_back(std::move(r));
        } else if (r.begin >= end) {
            insert();
            r.begin = r.begin - removed + text.size();
            r.end = r.end - removed + text.size();
            out.push_back(std::move(r));
        }
    }
    insert();
    m_runs = std::move(out);
    m_text.replace(begin, removed, text);
    Normalize();
}

size_t FormattedText::ParagraphStart(size_t i) const {
    i = std::min(i, Length());
    while (i > 0 && m_text[i - 1] != u'\r') --i;
    return i;
}

size_t FormattedText::ParagraphEnd(size_t i) const {
    while (i < Length() && m_text[i] != u'\r') ++i;
    return i;
}

void FormattedText::ApplyFormat(size_t begin, size_t end, const TextFormat& format) {
    begin = std::min(begin, Length());
    end = std::clamp(end, begin, Length());
    TextFormat paragraph = format.ParagraphPart();
    auto apply = [this](size_t from, size_t to, const TextFormat& f) {
        if (from >= to) return;
        Split(from);
        Split(to);
        for (Run& r : m_runs)
            if (r.begin >= from && r.end <= to) r.format.Merge(f);
    };
    apply(begin, end, format);
    if (!(paragraph == TextFormat{})) {
        // A paragraph's attributes live on all its characters, its '\r' included.
        size_t to = ParagraphEnd(end > begin ? end - 1 : end);
        apply(ParagraphStart(begin), std::min(Length(), to + 1), paragraph);
    }
    Normalize();
}

TextFormat FormattedText::FormatOf(size_t begin, size_t end) const {
    end = std::min(end, Length());
    TextFormat out;
    bool first = true;
    for (const Run& r : m_runs) {
        if (r.end <= begin || r.begin >= end) continue;
        if (first) {
            out = r.format;
            first = false;
        } else {
            out.Intersect(r.format);
        }
    }
    return out;
}

const TextFormat& FormattedText::FormatAt(size_t i, const TextFormat& fallback) const {
    if (m_runs.empty()) return fallback;
    for (const Run& r : m_runs)
        if (i < r.end) return r.format;
    return m_runs.back().format;
}

}  // namespace velmora::text
