// What a movie defines: characters by id, timelines of frames, and the movie-wide
// attributes. Built progressively by MovieLoader; shared read-only by the players.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

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

struct Frame {
    std::vector<FrameTag> tags;
    std::vector<ActionBlock> actions;
    std::vector<InitAction> initActions;
    std::string label;
};

struct Timeline {
    uint16_t declaredFrames = 0;
    std::vector<Frame> frames;  // complete frames only
    // Frame number (1-based) of a label; labels compare without case, as in Flash.
    std::optional<uint16_t> FindLabel(std::string_view label) const;
};

struct ButtonDef {
    swf::Button button;
    std::optional<ColorTransform> legacyTransform;  // DefineButtonCxform
    uint8_t swfVersion = 0;
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
                              std::shared_ptr<const EditTextCharacter>>;
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
};

}  // namespace velmora::movie
