#include "tools/swfgen/movie_builder.h"

#include <zlib.h>

#include <cstdlib>

#include "LzmaEnc.h"
#include "tools/swfgen/bit_writer.h"
#include "tools/swfgen/edit_text_writer.h"
#include "tools/swfgen/record_writer.h"
#include "tools/swfgen/text_writer.h"

namespace velmora::swfgen {

namespace {

void* LzmaAlloc(void*, size_t size) { return std::malloc(size); }
void LzmaFree(void*, void* address) { std::free(address); }
ISzAlloc g_lzmaAlloc = {LzmaAlloc, LzmaFree};

void WriteTag(std::vector<uint8_t>& out, uint16_t code, std::span<const uint8_t> body) {
    BitWriter w;
    // Long form whenever the short one cannot hold the length; bitmaps always use it,
    // as Flash expects.
    bool longForm = body.size() >= 0x3F || code == swf::kTagDefineBitsLossless ||
                    code == swf::kTagDefineBitsLossless2 || code == swf::kTagDefineBitsJpeg2 ||
                    code == swf::kTagDefineBitsJpeg3;
    w.U16(static_cast<uint16_t>((code << 6) | (longForm ? 0x3F : body.size())));
    if (longForm) w.U32(static_cast<uint32_t>(body.size()));
    w.Bytes(body);
    const auto& bytes = w.Data();
    out.insert(out.end(), bytes.begin(), bytes.end());
}

std::vector<uint8_t> WithId(uint16_t id, std::span<const uint8_t> body) {
    BitWriter w;
    w.U16(id);
    w.Bytes(body);
    return w.Data();
}

void WriteClipActions(BitWriter& w, const std::vector<swf::ClipAction>& actions, int swfVersion) {
    auto flags = [&](uint32_t v) { swfVersion >= 6 ? w.U32(v) : w.U16(static_cast<uint16_t>(v)); };
    uint32_t all = 0;
    for (const auto& a : actions) all |= a.events;
    w.U16(0);
    flags(all);
    for (const auto& a : actions) {
        flags(a.events);
        bool key = (a.events & swf::kClipKeyPress) != 0;
        w.U32(static_cast<uint32_t>(a.actions.size() + (key ? 1 : 0)));
        if (key) w.U8(a.keyCode);
        w.Bytes(a.actions);
    }
    flags(0);
}

}  // namespace

std::vector<uint8_t> PlaceObjectBody(const swf::PlaceObject& p, int swfVersion) {
    BitWriter w;
    if (p.version == 1) {
        w.U16(p.characterId.value_or(0));
        w.U16(p.depth);
        WriteMatrix(w, p.matrix.value_or(Matrix{}));
        if (p.colorTransform) WriteColorTransform(w, *p.colorTransform, false);
        return w.Data();
    }
    uint8_t flags = (p.clipActions.empty() ? 0 : 0x80) | (p.clipDepth ? 0x40 : 0) | (p.name ? 0x20 : 0) |
                    (p.ratio ? 0x10 : 0) | (p.colorTransform ? 0x08 : 0) | (p.matrix ? 0x04 : 0) |
                    (p.characterId ? 0x02 : 0) | (p.move ? 0x01 : 0);
    w.U8(flags);
    if (p.version >= 3) {
        w.U8((p.backgroundColor ? 0x40 : 0) | (p.visible ? 0x20 : 0) | (p.className ? 0x08 : 0) |
             (p.cacheAsBitmap ? 0x04 : 0) | (p.blendMode ? 0x02 : 0) | (p.filters ? 0x01 : 0));
    }
    w.U16(p.depth);
    if (p.version >= 3 && p.className) w.String(*p.className);
    if (p.characterId) w.U16(*p.characterId);
    if (p.matrix) WriteMatrix(w, *p.matrix);
    if (p.colorTransform) WriteColorTransform(w, *p.colorTransform, true);
    if (p.ratio) w.U16(*p.ratio);
    if (p.name) w.String(*p.name);
    if (p.clipDepth) w.U16(*p.clipDepth);
    if (p.version >= 3) {
        if (p.filters) WriteFilterList(w, *p.filters);
        if (p.blendMode) w.U8(static_cast<uint8_t>(*p.blendMode));
        if (p.cacheAsBitmap) w.U8(*p.cacheAsBitmap ? 1 : 0);
        if (p.visible) w.U8(*p.visible ? 1 : 0);
        if (p.backgroundColor) WriteRgba(w, *p.backgroundColor);
    }
    if (!p.clipActions.empty()) WriteClipActions(w, p.clipActions, swfVersion);
    return w.Data();
}

std::vector<uint8_t> ButtonBody(const swf::Button& button, uint16_t code) {
    bool second = code == swf::kTagDefineButton2;
    BitWriter records;
    for (const auto& r : button.records) {
        uint8_t head = r.states & 0x0F;
        if (second && !r.filters.empty()) head |= 0x10;
        if (second && r.blendMode != swf::BlendMode::Normal) head |= 0x20;
        records.U8(head);
        records.U16(r.characterId);
        records.U16(r.depth);
        WriteMatrix(records, r.matrix);
        if (second) {
            WriteColorTransform(records, r.colorTransform, true);
            if (head & 0x10) WriteFilterList(records, r.filters);
            if (head & 0x20) records.U8(static_cast<uint8_t>(r.blendMode));
        }
    }
    records.U8(0);
    BitWriter w;
    if (!second) {
        w.Bytes(records.Data());
        if (!button.actions.empty()) w.Bytes(button.actions.front().actions);
        return w.Data();
    }
    w.U8(button.trackAsMenu ? 1 : 0);
    // The offset counts from the offset field itself.
    w.U16(button.actions.empty() ? 0 : static_cast<uint16_t>(2 + records.Data().size()));
    w.Bytes(records.Data());
    for (size_t i = 0; i < button.actions.size(); ++i) {
        const auto& a = button.actions[i];
        bool last = i + 1 == button.actions.size();
        w.U16(last ? 0 : static_cast<uint16_t>(4 + a.actions.size()));
        w.U16(a.conditions);
        w.Bytes(a.actions);
    }
    return w.Data();
}

std::vector<uint8_t> LosslessBody(const Bitmap& bitmap) {
    std::vector<uint8_t> argb;
    argb.reserve(bitmap.pixels.size() * 4);
    for (uint32_t p : bitmap.pixels)
        for (int shift : {24, 16, 8, 0}) argb.push_back(static_cast<uint8_t>(p >> shift));
    uLongf packedSize = compressBound(static_cast<uLong>(argb.size()));
    std::vector<uint8_t> packed(packedSize);
    compress2(packed.data(), &packedSize, argb.data(), static_cast<uLong>(argb.size()), 9);
    packed.resize(packedSize);
    BitWriter w;
    w.U8(5);
    w.U16(static_cast<uint16_t>(bitmap.width));
    w.U16(static_cast<uint16_t>(bitmap.height));
    w.Bytes(packed);
    return w.Data();
}

void TagList::Tag(uint16_t code, std::span<const uint8_t> body) {
    WriteTag(m_bytes, code, body);
    if (code == swf::kTagShowFrame) ++m_frames;
}

void TagList::Place(const swf::PlaceObject& place) {
    uint16_t code = place.version == 1 ? swf::kTagPlaceObject
                    : place.version == 2 ? swf::kTagPlaceObject2 : swf::kTagPlaceObject3;
    Tag(code, PlaceObjectBody(place, m_swfVersion));
}

swf::PlaceObject Placement(std::optional<uint16_t> characterId, uint16_t depth, const Matrix& matrix) {
    swf::PlaceObject p;
    p.version = 2;
    p.characterId = characterId;
    p.move = !characterId;
    p.depth = depth;
    p.matrix = matrix;
    return p;
}

void TagList::Place(uint16_t characterId, uint16_t depth, const Matrix& matrix) {
    Place(Placement(characterId, depth, matrix));
}

void TagList::Move(uint16_t depth, const Matrix& matrix) { Place(Placement(std::nullopt, depth, matrix)); }

void TagList::Remove(uint16_t depth) {
    BitWriter w;
    w.U16(depth);
    Tag(swf::kTagRemoveObject2, w.Data());
}

void TagList::Label(std::string_view name) {
    BitWriter w;
    w.String(name);
    Tag(swf::kTagFrameLabel, w.Data());
}

void TagList::DoAction(std::span<const uint8_t> actions) { Tag(swf::kTagDoAction, actions); }

void TagList::ShowFrame() { Tag(swf::kTagShowFrame, {}); }

MovieBuilder::MovieBuilder(int swfVersion, RectTwips stage, float frameRate)
    : TagList(swfVersion), m_stage(stage), m_frameRate(frameRate) {}

void MovieBuilder::SetBackground(Rgba color) {
    BitWriter w;
    WriteRgb(w, color);
    Tag(swf::kTagSetBackgroundColor, w.Data());
}

void MovieBuilder::DefineShape(uint16_t id, const Shape& shape, int shapeVersion) {
    static constexpr uint16_t kCodes[] = {swf::kTagDefineShape, swf::kTagDefineShape2,
                                          swf::kTagDefineShape3, swf::kTagDefineShape4};
    Tag(kCodes[(shapeVersion < 1 ? 1 : shapeVersion > 4 ? 4 : shapeVersion) - 1],
        WithId(id, ShapeBody(shape, shapeVersion)));
}

void MovieBuilder::DefineFont(uint16_t id, const text::Font& font, uint16_t code) {
    Tag(code, WithId(id, FontBody(font, code)));
}

void MovieBuilder::DefineText(uint16_t id, const text::StaticText& text, uint16_t code) {
    Tag(code, WithId(id, TextBody(text, code)));
}

void MovieBuilder::TagWithId(uint16_t code, uint16_t id, std::span<const uint8_t> body) {
    Tag(code, WithId(id, body));
}

void MovieBuilder::DefineMorphShape(uint16_t id, const swf::MorphShape& morph) {
    Tag(swf::kTagDefineMorphShape, WithId(id, MorphShapeBody(morph)));
}

void MovieBuilder::DefineBitmap(uint16_t id, const Bitmap& bitmap) {
    Tag(swf::kTagDefineBitsLossless2, WithId(id, LosslessBody(bitmap)));
}

void MovieBuilder::DefineSprite(uint16_t id, const TagList& sprite) {
    BitWriter w;
    w.U16(id);
    w.U16(sprite.FrameCount());
    w.Bytes(sprite.Bytes());
    std::vector<uint8_t> body = w.Data();
    WriteTag(body, swf::kTagEnd, {});
    Tag(swf::kTagDefineSprite, body);
}

void MovieBuilder::DefineButton2(uint16_t id, const swf::Button& button) {
    Tag(swf::kTagDefineButton2, WithId(id, ButtonBody(button, swf::kTagDefineButton2)));
}

void MovieBuilder::DefineEditText(uint16_t id, const swf::EditTextDef& def) {
    Tag(swf::kTagDefineEditText, WithId(id, EditTextBody(def)));
}

void MovieBuilder::Export(uint16_t id, std::string_view name) {
    BitWriter w;
    w.U16(1);
    w.U16(id);
    w.String(name);
    Tag(swf::kTagExportAssets, w.Data());
}

std::vector<uint8_t> MovieBuilder::Build(swf::Compression compression) const {
    BitWriter body;
    WriteRect(body, m_stage);
    body.Fixed8(m_frameRate);
    body.U16(FrameCount());
    body.Bytes(Bytes());
    std::vector<uint8_t> data = body.Data();
    WriteTag(data, swf::kTagEnd, {});

    BitWriter file;
    file.U8(compression == swf::Compression::Zlib ? 'C' : compression == swf::Compression::Lzma ? 'Z' : 'F');
    file.U8('W');
    file.U8('S');
    file.U8(static_cast<uint8_t>(SwfVersion()));
    file.U32(static_cast<uint32_t>(8 + data.size()));
    if (compression == swf::Compression::None) {
        file.Bytes(data);
    } else if (compression == swf::Compression::Zlib) {
        uLongf packedSize = compressBound(static_cast<uLong>(data.size()));
        std::vector<uint8_t> packed(packedSize);
        compress2(packed.data(), &packedSize, data.data(), static_cast<uLong>(data.size()), 9);
        packed.resize(packedSize);
        file.Bytes(packed);
    } else {
        CLzmaEncProps props;
        LzmaEncProps_Init(&props);
        props.dictSize = 1 << 16;
        std::vector<uint8_t> packed(data.size() + data.size() / 3 + 1024);
        SizeT packedSize = packed.size();
        uint8_t encodedProps[LZMA_PROPS_SIZE];
        SizeT propsSize = LZMA_PROPS_SIZE;
        LzmaEncode(packed.data(), &packedSize, data.data(), data.size(), &props, encodedProps, &propsSize,
                   1, nullptr, &g_lzmaAlloc, &g_lzmaAlloc);
        packed.resize(packedSize);
        file.U32(static_cast<uint32_t>(packedSize));
        file.Bytes(std::span<const uint8_t>(encodedProps, LZMA_PROPS_SIZE));
        file.Bytes(packed);
    }
    return file.Data();
}

}  // namespace velmora::swfgen
