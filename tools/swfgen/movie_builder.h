// Builds SWF movies tag by tag: definitions, placements, frames, labels, buttons, raw
// action bytes. Used for test fixtures and the shipped movies.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "engine/core/shape.h"
#include "engine/swf/edit_text.h"
#include "engine/swf/shape_reader.h"
#include "engine/swf/swf_stream.h"
#include "engine/swf/tags.h"
#include "engine/text/font.h"
#include "engine/text/static_text.h"

namespace velmora::swfgen {

// PlaceObject2 of a new character at a depth, or (without a character) a move.
swf::PlaceObject Placement(std::optional<uint16_t> characterId, uint16_t depth, const Matrix& matrix = {});

// Tag bodies, the mirror of the engine's tag readers.
std::vector<uint8_t> PlaceObjectBody(const swf::PlaceObject& place, int swfVersion);
std::vector<uint8_t> ButtonBody(const swf::Button& button, uint16_t code);
// DefineBitsLossless2, 32-bit premultiplied ARGB.
std::vector<uint8_t> LosslessBody(const Bitmap& bitmap);

// A list of tags: a sprite's timeline, or the body of a movie.
class TagList {
public:
    void Tag(uint16_t code, std::span<const uint8_t> body);
    void Place(const swf::PlaceObject& place);
    // PlaceObject2 of a new character at a depth.
    void Place(uint16_t characterId, uint16_t depth, const Matrix& matrix = {});
    void Move(uint16_t depth, const Matrix& matrix);
    void Remove(uint16_t depth);
    void Label(std::string_view name);
    void DoAction(std::span<const uint8_t> actions);
    void ShowFrame();

    uint16_t FrameCount() const { return m_frames; }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    int SwfVersion() const { return m_swfVersion; }

protected:
    explicit TagList(int swfVersion) : m_swfVersion(swfVersion) {}
    friend class MovieBuilder;

private:
    std::vector<uint8_t> m_bytes;
    uint16_t m_frames = 0;
    int m_swfVersion;
};

class MovieBuilder : public TagList {
public:
    MovieBuilder(int swfVersion, RectTwips stage, float frameRate);

    TagList NewSprite() const { return TagList(SwfVersion()); }

    void SetBackground(Rgba color);
    void DefineShape(uint16_t id, const Shape& shape, int shapeVersion = 3);
    void DefineMorphShape(uint16_t id, const swf::MorphShape& morph);
    void DefineBitmap(uint16_t id, const Bitmap& bitmap);  // DefineBitsLossless2
    void DefineSprite(uint16_t id, const TagList& sprite);
    void DefineButton2(uint16_t id, const swf::Button& button);
    void DefineEditText(uint16_t id, const swf::EditTextDef& def);
    void Export(uint16_t id, std::string_view name);
    // DefineFont, DefineFont2 or DefineFont3.
    void DefineFont(uint16_t id, const text::Font& font, uint16_t code = swf::kTagDefineFont2);
    // DefineText or DefineText2.
    void DefineText(uint16_t id, const text::StaticText& text, uint16_t code = swf::kTagDefineText);
    // Any tag whose body starts with a character (or font) id.
    void TagWithId(uint16_t code, uint16_t id, std::span<const uint8_t> body);

    // The movie file; the frame count is the number of ShowFrame tags written.
    std::vector<uint8_t> Build(swf::Compression compression = swf::Compression::None) const;

private:
    RectTwips m_stage;
    float m_frameRate;
};

}  // namespace velmora::swfgen
