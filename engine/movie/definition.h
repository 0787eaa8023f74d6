// What a movie defines: characters by id, timelines of frames, and the movie-wide
// attributes. Built progressively by MovieLoader; shared read-only by the players.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/audio/pcm.h"
#include "engine/audio/sound_records.h"
#include "engine/core/shape.h"
#include "engine/swf/edit_text.h"
#include "engine/swf/shape_reader.h"
#include "engine/swf/swf_stream.h"
#include "engine/swf/tags.h"
#include "engine/text/font.h"
#include "engine/text/font_tags.h"
#include "engine/text/static_text.h"

namespace velmora::movie {

// Raw action bytes and the SWF version they were written for; the script VM runs them.
struct ActionBlock {
    std::vector<uint8_t> bytes;
    uint8_t swfVersion = 0;
    size_t tagsBefore = 0;  // display-list tags of its frame that precede it
};

struct InitAction {
    uint16_t spriteId = 0;
    ActionBlock actions;
};

// A display-list change of a frame, in tag order.
using FrameTag = std::variant<swf::PlaceObject, swf::RemoveObject>;

// StartSound (by id) or StartSound2 (by export name) in a frame.
struct FrameSound {
    uint16_t soundId = 0;
    std::string className;
    audio::SoundInfo info;
};

struct Frame {
    std::vector<FrameTag> tags;
    std::vector<ActionBlock> actions;
    std::vector<InitAction> initActions;
    std::vector<FrameSound> sounds;
    std::optional<std::vector<uint8_t>> streamBlock;  // SoundStreamBlock body
    std::string label;
};

struct Timeline {
    uint16_t declaredFrames = 0;
    std::vector<Frame> frames;  // complete frames only
    std::optional<audio::StreamHead> streamHead;
    // Frame number (1-based) of a label; labels compare without case, as in Flash.
    std::optional<uint16_t> FindLabel(std::string_view label) const;
};

struct ButtonDef {
    swf::Button button;
    std::optional<ColorTransform> legacyTransform;  // DefineButtonCxform
    uint8_t swfVersion = 0;
    std::optional<audio::ButtonSounds> sounds;  // DefineButtonSound
};

// DefineSound: kept as it came, decoded the first time it plays.
class SoundDef {
public:
    SoundDef(audio::SoundFormatInfo format, uint32_t sampleCount, std::span<const uint8_t> data)
        : m_format(format), m_sampleCount(sampleCount), m_data(data.begin(), data.end()) {}
    const audio::SoundFormatInfo& Format() const { return m_format; }
    uint32_t SampleCount() const { return m_sampleCount; }
    double DurationMs() const { return m_format.rate > 0 ? 1000.0 * m_sampleCount / m_format.rate : 0; }
    std::shared_ptr<const audio::Pcm> Decoded(audio::Mp3Decoder* mp3) const;

private:
    audio::SoundFormatInfo m_format;
    uint32_t m_sampleCount;
    std::vector<uint8_t> m_data;
    mutable std::mutex m_mutex;
    mutable std::shared_ptr<const audio::Pcm> m_decoded;
};

// A DefineEditText with its strings in UTF-8.
struct EditTextCharacter {
    swf::EditTextDef def;
    std::string initialText;
    std::string variableName;
};

struct Character {
    using Data = std::variant<std::shared_ptr<const Shape>, std::shared_ptr<const swf::MorphShape>,
                              std::shared_ptr<const Bitmap>, std::shared_ptr<const Timeline>,
                              std::shared_ptr<const ButtonDef>, std::shared_ptr<const text::Font>,
                              std::shared_ptr<const text::StaticText>, std::shared_ptr<const text::Font4>,
                              std::shared_ptr<const EditTextCharacter>,
                              std::shared_ptr<const SoundDef>>;
    Data data;

    const Shape* AsShape() const;
    const swf::MorphShape* AsMorph() const;
    const Bitmap* AsBitmap() const;
    const Timeline* AsSprite() const;
    const ButtonDef* AsButton() const;
    const text::StaticText* AsText() const;
    // Fonts are shared with the drawings made of them.
    std::shared_ptr<const text::Font> AsFont() const;
    const EditTextCharacter* AsEditText() const;
    const SoundDef* AsSound() const;
};

struct MovieDefinition {
    swf::SwfHeader header;
    Rgba background = {255, 255, 255, 255};
    bool hasBackground = false;
    uint32_t fileAttributes = 0;
    std::string metadata;
    struct ScriptLimits {
        uint16_t maxRecursion = 0;
        uint16_t timeoutSeconds = 0;
    };
    std::optional<ScriptLimits> scriptLimits;
    std::map<uint16_t, Character> characters;
    std::map<std::string, uint16_t> exports;
    Timeline root;

    const Character* Find(uint16_t id) const;
    // The id exported under a linkage name: the exact spelling first, then any case.
    std::optional<uint16_t> FindExport(std::string_view name) const;
    const SoundDef* FindSound(uint16_t id) const;
    // Any sound at all: a DefineSound or a streaming soundtrack.
    bool hasSound = false;
};

}  // namespace velmora::movie
