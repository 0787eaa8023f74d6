// SWF tag headers and the tags the timeline acts on: PlaceObject 1-3, RemoveObject 1-2,
// FrameLabel, DoAction/DoInitAction, DefineButton/2, ExportAssets, FileAttributes.
// Action bytes are kept raw; the script VM interprets them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/swf/records.h"

namespace velmora::swf {

enum TagCode : uint16_t {
    kTagEnd = 0, kTagShowFrame = 1, kTagDefineShape = 2, kTagPlaceObject = 4,
    kTagRemoveObject = 5, kTagDefineBits = 6, kTagDefineButton = 7, kTagJpegTables = 8,
    kTagSetBackgroundColor = 9, kTagDoAction = 12, kTagDefineBitsLossless = 20,
    kTagDefineBitsJpeg2 = 21, kTagDefineShape2 = 22, kTagDefineButtonCxform = 23,
    kTagProtect = 24, kTagPlaceObject2 = 26, kTagRemoveObject2 = 28, kTagDefineShape3 = 32,
    kTagDefineButton2 = 34, kTagDefineBitsJpeg3 = 35, kTagDefineBitsLossless2 = 36,
    kTagDefineSprite = 39, kTagFrameLabel = 43, kTagDefineMorphShape = 46,
    kTagExportAssets = 56, kTagEnableDebugger = 58, kTagDoInitAction = 59,
    kTagEnableDebugger2 = 64, kTagScriptLimits = 65, kTagFileAttributes = 69,
    kTagPlaceObject3 = 70, kTagMetadata = 77, kTagDefineShape4 = 83,
    kTagDefineMorphShape2 = 84, kTagDefineBitsJpeg4 = 90,
    // Fonts and text (read by engine/text).
    kTagDefineFont = 10, kTagDefineText = 11, kTagDefineFontInfo = 13, kTagDefineText2 = 33,
    kTagDefineEditText = 37, kTagDefineFont2 = 48, kTagDefineFontInfo2 = 62,
    kTagDefineFontAlignZones = 73, kTagCsmTextSettings = 74, kTagDefineFont3 = 75,
    kTagDefineFontName = 88, kTagDefineFont4 = 91,
};

struct TagHeader {
    uint16_t code = 0;
    uint32_t length = 0;      // body bytes
    uint32_t headerSize = 0;  // 2 or 6
};

// Reads the tag header at data[0..]. Returns false when the header or the body is not
// fully present yet (a progressive movie waits; a complete one is truncated there).
bool PeekTag(std::span<const uint8_t> data, TagHeader& tag);

// Clip event flags of PlaceObject2/3 clip actions, as a 32-bit value read little-endian.
enum ClipEvent : uint32_t {
    kClipLoad = 1u << 0, kClipEnterFrame = 1u << 1, kClipUnload = 1u << 2,
    kClipMouseMove = 1u << 3, kClipMouseDown = 1u << 4, kClipMouseUp = 1u << 5,
    kClipKeyDown = 1u << 6, kClipKeyUp = 1u << 7, kClipData = 1u << 8,
    kClipInitialize = 1u << 9, kClipPress = 1u << 10, kClipRelease = 1u << 11,
    kClipReleaseOutside = 1u << 12, kClipRollOver = 1u << 13, kClipRollOut = 1u << 14,
    kClipDragOver = 1u << 15, kClipDragOut = 1u << 16, kClipKeyPress = 1u << 17,
    kClipConstruct = 1u << 18,
};

struct ClipAction {
    uint32_t events = 0;
    uint8_t keyCode = 0;  // with kClipKeyPress
    std::vector<uint8_t> actions;
};

struct PlaceObject {
    int version = 1;  // 1, 2 or 3
    uint16_t depth = 0;
    bool move = false;  // modifies the object already at the depth
    std::optional<uint16_t> characterId;
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<uint16_t> clipDepth;
    std::optional<std::vector<Filter>> filters;
    std::optional<BlendMode> blendMode;
    std::optional<bool> cacheAsBitmap;
    std::optional<bool> visible;
    std::optional<Rgba> backgroundColor;
    std::optional<std::string> className;
    std::vector<ClipAction> clipActions;
};

// `code` is kTagPlaceObject, kTagPlaceObject2 or kTagPlaceObject3.
std::optional<PlaceObject> ReadPlaceObject(std::span<const uint8_t> body, uint16_t code,
                                           int swfVersion);

struct RemoveObject {
    uint16_t depth = 0;
    std::optional<uint16_t> characterId;  // RemoveObject (1) only
};
std::optional<RemoveObject> ReadRemoveObject(std::span<const uint8_t> body, uint16_t code);

struct FrameLabel {
    std::string name;
    bool anchor = false;
};
std::optional<FrameLabel> ReadFrameLabel(std::span<const uint8_t> body);

// Button state bits of a button record.
enum ButtonState : uint8_t { kButtonUp = 1, kButtonOver = 2, kButtonDown = 4, kButtonHit = 8 };

// Button transition conditions of DefineButton2 (key code in bits 9..15).
enum ButtonCondition : uint16_t {
    kCondIdleToOverUp = 0x0001, kCondOverUpToIdle = 0x0002, kCondOverUpToOverDown = 0x0004,
    kCondOverDownToOverUp = 0x0008, kCondOverDownToOutDown = 0x0010,
    kCondOutDownToOverDown = 0x0020, kCondOutDownToIdle = 0x0040,
    kCondIdleToOverDown = 0x0080, kCondOverDownToIdle = 0x0100,
};
inline uint8_t ButtonKeyCode(uint16_t conditions) { return (conditions >> 9) & 0x7F; }

struct ButtonRecord {
    uint8_t states = 0;
    uint16_t characterId = 0;
    uint16_t depth = 0;
    Matrix matrix;
    ColorTransform colorTransform;
    std::vector<Filter> filters;
    BlendMode blendMode = BlendMode::Normal;
};

struct ButtonAction {
    uint16_t conditions = 0;
    std::vector<uint8_t> actions;
};

struct Button {
    bool trackAsMenu = false;
    std::vector<ButtonRecord> records;
    std::vector<ButtonAction> actions;  // DefineButton (1): one action on release
};

// Body of DefineButton/DefineButton2 after the character id.
std::optional<Button> ReadDefineButton(std::span<const uint8_t> body, uint16_t code);

std::vector<std::pair<uint16_t, std::string>> ReadExportAssets(std::span<const uint8_t> body);

}  // namespace velmora::swf
