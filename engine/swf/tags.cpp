#include "engine/swf/tags.h"

#include "engine/swf/bit_reader.h"

namespace velmora::swf {

bool PeekTag(std::span<const uint8_t> data, TagHeader& tag) {
    BitReader r(data);
    uint16_t codeAndLength = r.U16();
    tag.code = codeAndLength >> 6;
    tag.length = codeAndLength & 0x3F;
    tag.headerSize = 2;
    if (tag.length == 0x3F) {
        tag.length = r.U32();
        tag.headerSize = 6;
    }
    return r.Ok() && tag.length <= r.Remaining();
}

static std::vector<ClipAction> ReadClipActions(BitReader& r, int swfVersion) {
    std::vector<ClipAction> out;
    auto readFlags = [&] { return swfVersion >= 6 ? r.U32() : uint32_t{r.U16()}; };
    r.U16();      // reserved
    readFlags();  // union of all events
    while (r.Ok()) {
        uint32_t events = readFlags();
        if (events == 0 || !r.Ok()) break;
        ClipAction action;
        action.events = events;
        uint32_t size = r.U32();
        if (size > r.Remaining()) {
            r.Fail();
            break;
        }
        if ((events & kClipKeyPress) && size > 0) {
            action.keyCode = r.U8();
            --size;
        }
        auto bytes = r.Bytes(size);
        action.actions.assign(bytes.begin(), bytes.end());
        out.push_back(std::move(action));
    }
    return out;
}

std::optional<PlaceObject> ReadPlaceObject(std::span<const uint8_t> body, uint16_t code,
                                           int swfVersion) {
    BitReader r(body);
    PlaceObject p;
    if (code == kTagPlaceObject) {
        p.version = 1;
        p.characterId = r.U16();
        p.depth = r.U16();
        p.matrix = ReadMatrix(r);
        if (r.Ok() && !r.AtEnd()) p.colorTransform = ReadColorTransform(r, false);
        if (!r.Ok()) return std::nullopt;
        return p;
    }
    p.version = code == kTagPlaceObject3 ? 3 : 2;
    uint8_t flags = r.U8();
    uint8_t flags3 = p.version == 3 ? r.U8() : 0;
    p.move = flags & 0x01;
    p.depth = r.U16();
    if (flags3 & 0x08 || ((flags3 & 0x10) && (flags & 0x02))) p.className = r.String();
    if (flags & 0x02) p.characterId = r.U16();
    if (flags & 0x04) p.matrix = ReadMatrix(r);
    if (flags & 0x08) p.colorTransform = ReadColorTransform(r, true);
    if (flags & 0x10) p.ratio = r.U16();
    if (flags & 0x20) p.name = r.String();
    if (flags & 0x40) p.clipDepth = r.U16();
    if (flags3 & 0x01) p.filters = ReadFilterList(r);
    if (flags3 & 0x02) p.blendMode = ToBlendMode(r.U8());
    if (flags3 & 0x04) p.cacheAsBitmap = r.U8() != 0;
    if (flags3 & 0x20) p.visible = r.U8() != 0;
    if (flags3 & 0x40) p.backgroundColor = ReadRgba(r);
    if (!r.Ok()) return std::nullopt;
    // Damaged clip actions lose only the actions, not the placement.
    if (flags & 0x80) p.clipActions = ReadClipActions(r, swfVersion);
    return p;
}

std::optional<RemoveObject> ReadRemoveObject(std::span<const uint8_t> body, uint16_t code) {
    BitReader r(body);
    RemoveObject out;
    if (code == kTagRemoveObject) out.characterId = r.U16();
    out.depth = r.U16();
    if (!r.Ok()) return std::nullopt;
    return out;
}

std::optional<FrameLabel> ReadFrameLabel(std::span<const uint8_t> body) {
    BitReader r(body);
    FrameLabel label;
    label.name = r.String();
    if (!r.AtEnd()) label.anchor = r.U8() == 1;
    if (label.name.empty()) return std::nullopt;
    return label;
}

std::optional<Button> ReadDefineButton(std::span<const uint8_t> body, uint16_t code) {
    BitReader r(body);
    Button button;
    bool second = code == kTagDefineButton2;
    size_t actionStart = 0;
    if (second) {
        button.trackAsMenu = (r.U8() & 1) != 0;
        size_t offsetField = r.Position();
        uint16_t actionOffset = r.U16();
        actionStart = actionOffset ? offsetField + actionOffset : body.size();
    }
    while (r.Ok()) {
        uint8_t head = r.U8();
        if (head == 0) break;
        ButtonRecord rec;
        rec.states = head & 0x0F;
        rec.characterId = r.U16();
        rec.depth = r.U16();
        rec.matrix = ReadMatrix(r);
        if (second) {
            rec.colorTransform = ReadColorTransform(r, true);
            if (head & 0x10) rec.filters = ReadFilterList(r);
            if (head & 0x20) rec.blendMode = ToBlendMode(r.U8());
        }
        if (r.Ok()) button.records.push_back(std::move(rec));
    }
    if (!r.Ok()) return std::nullopt;
    if (!second) {
        auto rest = r.Rest();
        if (!rest.empty()) button.actions.push_back({kCondOverDownToOverUp, {rest.begin(), rest.end()}});
        return button;
    }
    if (actionStart > body.size()) return button;
    BitReader a(body.subspan(actionStart));
    while (a.Ok() && !a.AtEnd()) {
        uint16_t size = a.U16();
        ButtonAction action;
        action.conditions = a.U16();
        if (size != 0 && size < 4) break;
        auto bytes = size == 0 ? a.Rest() : a.Bytes(size - 4u);
        action.actions.assign(bytes.begin(), bytes.end());
        button.actions.push_back(std::move(action));
        if (size == 0) break;
    }
    return button;
}

std::vector<std::pair<uint16_t, std::string>> ReadExportAssets(std::span<const uint8_t> body) {
    BitReader r(body);
    std::vector<std::pair<uint16_t, std::string>> out;
    unsigned count = r.U16();
    for (unsigned i = 0; i < count && r.Ok(); ++i) {
        uint16_t id = r.U16();
        std::string name = r.String();
        if (r.Ok()) out.emplace_back(id, std::move(name));
    }
    return out;
}

}  // namespace velmora::swf
