#include "engine/movie/movie_loader.h"

#include "common/text.h"
#include "engine/swf/bit_reader.h"
#include "engine/swf/bitmap_reader.h"
#include "engine/swf/records.h"

namespace velmora::movie {

using namespace swf;

void MovieLoader::Append(std::span<const uint8_t> bytes) {
    if (m_done) return;
    m_stream.Append(bytes);
    Parse();
}

void MovieLoader::Finish() {
    m_stream.Finish();
    Parse();
    EndOfData();
}

void MovieLoader::EndOfData() {
    if (m_done) return;
    // The data ended without an End tag: a frame in progress still shows.
    if (!m_pending.tags.empty() || !m_pending.actions.empty() || !m_pending.sounds.empty())
        m_def.root.frames.push_back(std::move(m_pending));
    m_done = true;
}

void MovieLoader::Parse() {
    if (!m_stream.HeaderReady()) return;
    if (m_offset == 0) {
        m_def.header = m_stream.Header();
        m_def.root.declaredFrames = m_def.header.frameCount;
    }
    std::span<const uint8_t> tags = m_stream.Tags();
    while (!m_done && m_offset < tags.size()) {
        TagHeader tag;
        if (!PeekTag(tags.subspan(m_offset), tag)) break;
        auto body = tags.subspan(m_offset + tag.headerSize, tag.length);
        m_offset += tag.headerSize + tag.length;
        if (!HandleTag(tag.code, body, m_def.root, m_pending, 0)) m_done = true;
    }
    if (m_stream.Complete()) EndOfData();
}

void MovieLoader::AddCharacter(uint16_t id, Character::Data data) {
    // The first definition of an id wins, as in Flash.
    m_def.characters.try_emplace(id, Character{std::move(data)});
}

bool MovieLoader::HandleTag(uint16_t code, std::span<const uint8_t> body, Timeline& timeline, Frame& frame,
                            int nesting) {
    const uint8_t version = m_def.header.version;
    BitReader r(body);
    switch (code) {
    case kTagEnd:
        return false;
    case kTagShowFrame:
        timeline.frames.push_back(std::move(frame));
        frame = Frame{};
        break;
    case kTagPlaceObject:
    case kTagPlaceObject2:
    case kTagPlaceObject3:
        if (auto p = ReadPlaceObject(body, code, version)) frame.tags.emplace_back(std::move(*p));
        break;
    case kTagRemoveObject:
    case kTagRemoveObject2:
        if (auto rm = ReadRemoveObject(body, code)) frame.tags.emplace_back(*rm);
        break;
    case kTagFrameLabel:
        if (auto label = ReadFrameLabel(body)) frame.label = label->name;
        break;
    case kTagDoAction:
        frame.actions.push_back({{body.begin(), body.end()}, version, frame.tags.size()});
        break;
    case kTagDoInitAction: {
        uint16_t sprite = r.U16();
        auto bytes = r.Rest();
        if (r.Ok()) frame.initActions.push_back({sprite, {{bytes.begin(), bytes.end()}, version}});
        break;
    }
    case kTagSetBackgroundColor:
        if (nesting == 0) {
            Rgba c = ReadRgb(r);
            if (r.Ok()) {
                m_def.background = c;
                m_def.hasBackground = true;
            }
        }
        break;
    case kTagFileAttributes:
        m_def.fileAttributes = r.U32();
        break;
    case kTagMetadata:
        m_def.metadata = r.String();
        break;
    case kTagScriptLimits: {
        uint16_t recursion = r.U16(), timeout = r.U16();
        if (r.Ok() && nesting == 0) m_def.scriptLimits = {recursion, timeout};
        break;
    }
    case kTagExportAssets:
        for (auto& [id, name] : ReadExportAssets(body)) m_def.exports.emplace(std::move(name), id);
        break;
    case kTagJpegTables:
        if (m_jpegTables.empty()) m_jpegTables.assign(body.begin(), body.end());
        break;
    case kTagDefineSprite:
        DefineSprite(body, nesting + 1);
        break;
    case audio::kTagStartSound:
        if (auto start = audio::ParseStartSound(body)) frame.sounds.push_back({start->id, {}, std::move(start->info)});
        break;
    case audio::kTagStartSound2:
        if (auto start = audio::ParseStartSound2(body))
            frame.sounds.push_back({0, std::move(start->className), std::move(start->info)});
        break;
    case audio::kTagSoundStreamHead:
    case audio::kTagSoundStreamHead2:
        if (auto head = audio::ParseStreamHead(body); head && !timeline.streamHead) {
            timeline.streamHead = *head;
            m_def.hasSound = true;
        }
        break;
    case audio::kTagSoundStreamBlock:
        if (timeline.streamHead) frame.streamBlock.emplace(body.begin(), body.end());
        break;
    default: {
        // Character definitions; anything else (Protect, EnableDebugger,
        // DefineFontAlignZones, unknown tags) is skipped.
        uint16_t id = r.U16();
        if (!r.Ok()) break;
        auto rest = body.subspan(2);
        switch (code) {
        case kTagDefineShape:
        case kTagDefineShape2:
        case kTagDefineShape3:
        case kTagDefineShape4: {
            int shapeVersion = code == kTagDefineShape ? 1 : code == kTagDefineShape2 ? 2
                               : code == kTagDefineShape3 ? 3 : 4;
            if (auto s = ReadDefineShape(rest, shapeVersion)) AddCharacter(id, std::make_shared<const Shape>(std::move(*s)));
            break;
        }
        case kTagDefineMorphShape:
        case kTagDefineMorphShape2:
            if (auto m = ReadDefineMorphShape(rest, code == kTagDefineMorphShape ? 1 : 2))
                AddCharacter(id, std::make_shared<const MorphShape>(std::move(*m)));
            break;
        case kTagDefineBits:
        case kTagDefineBitsJpeg2:
        case kTagDefineBitsJpeg3:
        case kTagDefineBitsJpeg4:
            if (auto b = ReadDefineBits(rest, code, m_jpegTables)) AddCharacter(id, std::make_shared<const Bitmap>(std::move(*b)));
            break;
        case kTagDefineBitsLossless:
        case kTagDefineBitsLossless2:
            if (auto b = ReadDefineBitsLossless(rest, code == kTagDefineBitsLossless ? 1 : 2))
                AddCharacter(id, std::make_shared<const Bitmap>(std::move(*b)));
            break;
        case kTagDefineButton:
        case kTagDefineButton2:
            if (auto b = ReadDefineButton(rest, code))
                AddCharacter(id, std::make_shared<const ButtonDef>(ButtonDef{std::move(*b), std::nullopt, version}));
            break;
        case kTagDefineFont:
        case kTagDefineFont2:
        case kTagDefineFont3:
            if (auto f = text::ReadDefineFont(rest, code, version))
                AddCharacter(id, std::make_shared<const text::Font>(std::move(*f)));
            break;
        case kTagDefineFont4:
            if (auto f = text::ReadDefineFont4(rest)) AddCharacter(id, std::make_shared<const text::Font4>(std::move(*f)));
            break;
        case kTagDefineFontInfo:
        case kTagDefineFontInfo2:
        case kTagDefineFontName:
            UpdateFont(id, code, rest);
            break;
        case kTagDefineText:
        case kTagDefineText2:
            if (auto t = text::ReadDefineText(rest, code))
                AddCharacter(id, std::make_shared<const text::StaticText>(std::move(*t)));
            break;
        case kTagDefineEditText:
            if (auto e = ReadDefineEditText(rest)) {
                // Before SWF 6 the movie's strings are in the author's ANSI code page.
                auto utf8 = [version](const std::string& s) { return version >= 6 ? s : AnsiToUtf8(s); };
                auto text = std::make_shared<EditTextCharacter>();
                text->initialText = utf8(e->initialText.value_or(""));
                text->variableName = utf8(e->variableName);
                text->def = std::move(*e);
                AddCharacter(id, std::shared_ptr<const EditTextCharacter>(std::move(text)));
            }
            break;
        case audio::kTagDefineSound:
            if (auto sound = audio::ParseDefineSound(body)) {
                AddCharacter(id, std::make_shared<const SoundDef>(sound->format, sound->sampleCount, sound->data));
                m_def.hasSound = true;
            }
            break;
        case audio::kTagDefineButtonSound:
            if (auto sounds = audio::ParseButtonSound(body)) {
                auto it = m_def.characters.find(id);
                if (it != m_def.characters.end() && it->second.AsButton()) {
                    auto copy = std::make_shared<ButtonDef>(*it->second.AsButton());
                    copy->sounds = std::move(*sounds);
                    it->second.data = std::shared_ptr<const ButtonDef>(std::move(copy));
                }
            }
            break;
        case kTagDefineButtonCxform: {
            auto it = m_def.characters.find(id);
            if (it != m_def.characters.end() && it->second.AsButton()) {
                auto copy = std::make_shared<ButtonDef>(*it->second.AsButton());
                copy->legacyTransform = ReadColorTransform(r, false);
                it->second.data = std::shared_ptr<const ButtonDef>(std::move(copy));
            }
            break;
        }
        default:
            break;
        }
    }
    }
    return true;
}

void MovieLoader::UpdateFont(uint16_t id, uint16_t code, std::span<const uint8_t> body) {
    // Fonts are shared read-only once defined: a later tag about one makes a changed copy.
    auto it = m_def.characters.find(id);
    std::shared_ptr<const text::Font> font = it == m_def.characters.end() ? nullptr : it->second.AsFont();
    if (!font) return;
    auto copy = std::make_shared<text::Font>(*font);
    if (code == kTagDefineFontName) {
        auto name = text::ReadDefineFontName(body);
        // The font's own name is what text asks for; this one only fills a gap.
        if (!name || !font->Name().empty()) return;
        copy->SetName(name->name);
    } else if (!text::ApplyFontInfo(body, code, m_def.header.version, *copy)) {
        return;
    }
    it->second.data = std::shared_ptr<const text::Font>(std::move(copy));
}

void MovieLoader::DefineSprite(std::span<const uint8_t> body, int nesting) {
    if (nesting > kMaxSpriteNesting) return;
    BitReader r(body);
    uint16_t id = r.U16();
    auto timeline = std::make_shared<Timeline>();
    timeline->declaredFrames = r.U16();
    if (!r.Ok()) return;
    std::span<const uint8_t> tags = body.subspan(4);
    Frame frame;
    size_t offset = 0;
    while (offset < tags.size()) {
        TagHeader tag;
        if (!PeekTag(tags.subspan(offset), tag)) break;
        auto tagBody = tags.subspan(offset + tag.headerSize, tag.length);
        offset += tag.headerSize + tag.length;
        if (!HandleTag(tag.code, tagBody, *timeline, frame, nesting)) break;
    }
    // A last frame without ShowFrame still counts when it carries something.
    if (!frame.tags.empty() || !frame.actions.empty()) timeline->frames.push_back(std::move(frame));
    AddCharacter(id, std::shared_ptr<const Timeline>(std::move(timeline)));
}

}  // namespace velmora::movie
