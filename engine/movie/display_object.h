// Instances on the display list: shapes, morphs, sprites (with their own timeline) and
// buttons, keyed by depth inside their parent.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/backend/font_provider.h"
#include "engine/movie/definition.h"
#include "engine/movie/drawing.h"
#include "engine/raster/bitmap_buffer.h"
#include "engine/text/glyph_run.h"
#include "engine/text/edit_text.h"

namespace velmora::audio {
class Mixer;
class Mp3Decoder;
}  // namespace velmora::audio

namespace velmora::movie {

class MovieClip;
struct DisplayObject;
class FieldFonts;

// Keyed by depth in the timeline's numbering: SWF depths from 1 (ActionScript depth
// + 16384), script-created instances above them.
using DisplayList = std::map<int32_t, std::unique_ptr<DisplayObject>>;
// The lowest depth a script uses by default (ActionScript depth 0); timelines own those below.
inline constexpr int32_t kFirstScriptDepth = 16384;

// Instances nested deeper than this (a sprite placing itself, directly or not) are created
// empty instead of recursing; beyond the instance budget (a sprite placing itself twice
// doubles at every level) none are created.
inline constexpr int kMaxInstanceNesting = 64;
inline constexpr size_t kMaxInstances = 100000;

// ClipMethod: no bytes; the script side calls the event's method (onEnterFrame...) on
// the clip if the clip's script object has one. Constructor: no bytes; the script side
// runs the class registered for the clip's linkage name, if any.
enum class ActionSource : uint8_t { Frame, Init, Button, ClipEvent, ClipMethod, Constructor };

// "Run these action bytes for this clip": queued during a tick, handed to the script VM.
struct ActionRequest {
    uint64_t target = 0;  // serial of the clip (or button's parent clip) the actions run in
    std::span<const uint8_t> bytes;
    uint8_t swfVersion = 0;
    ActionSource source = ActionSource::Frame;
    uint32_t event = 0;  // clip event flag or button condition
};

inline constexpr size_t kNotRunning = static_cast<size_t>(-1);

// State every player keeps for its instances.
struct PlayContext {
    const MovieDefinition* definition = nullptr;
    bool rootLoading = true;  // more root frames may still arrive
    uint64_t tick = 0;
    uint64_t nextSerial = 1;
    uint32_t nextInstanceName = 1;  // unnamed instances are "instance1", "instance2", ...
    std::unordered_map<uint64_t, DisplayObject*> live;  // serial -> instance
    std::vector<ActionRequest> queue;
    size_t runNext = kNotRunning;  // while the queue runs: where scripts to run next go
    // enterFrame of the clips that were there when the tick began: run before the scripts
    // of the frames the tick entered, and not for clips the tick removed.
    std::vector<ActionRequest> enterFrames;
    std::vector<ActionRequest> constructs;  // onClipEvent(construct) of the instances being placed
    std::unordered_set<uint16_t> initsRun;  // sprites whose init actions ran
    // Removed instances with unload handlers stay on their parent's list below every depth
    // a timeline or script can use, reachable by scripts, until the next tick begins.
    std::vector<uint64_t> pendingRemoval;
    bool changed = true;  // something that affects the picture changed since the last render
    // Script bitmaps change without telling anyone: once one is shown, every render looks.
    bool showsScriptBitmaps = false;
    std::function<void(uint64_t serial)> removing;  // told before an instance is destroyed
    backend::FontProvider* fonts = nullptr;  // device fonts; none: device text draws nothing
    FieldFonts* fieldFonts = nullptr;  // the fonts text fields are laid out with
    // Whether scripts gave the instance an unload method (onUnload).
    std::function<bool(uint64_t serial)> hasUnloadMethod;
    // Sound: where timelines start their sounds and feed their soundtracks.
    audio::Mixer* mixer = nullptr;
    audio::Mp3Decoder* mp3 = nullptr;
    double frameRate = 12;
    std::map<uint64_t, MovieClip*> streams;  // timelines whose soundtrack plays, by serial
};

enum class ButtonPhase : uint8_t { Up, Over, Down };

struct Placement {
    Matrix matrix;
    ColorTransform colorTransform;
    uint16_t ratio = 0;
    std::string name;
    uint16_t clipDepth = 0;
    bool visible = true;
    swf::BlendMode blendMode = swf::BlendMode::Normal;
    std::vector<Filter> filters;
    bool cacheAsBitmap = false;
};

struct DisplayObject {
    DisplayObject(PlayContext& context, const Character* character, uint16_t characterId, int32_t depth,
                  int nesting, MovieClip* parent);
    ~DisplayObject();
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    // The shape to draw (a morph at the current ratio, a text field's box), or nullptr.
    // Drawing-API content counts for clips and for instances whose character is no shape.
    const Shape* DrawnShape();
    // The text to draw (static text, made on first use with the player's device fonts),
    // or nullptr. Hit tests and bounds of text use the picture's bounds.
    const text::TextPicture* DrawnText();
    // Switches a button to a phase, rebuilding the children shown for it.
    void SetButtonPhase(ButtonPhase phase);

    PlayContext& context;
    const uint64_t serial;
    const Character* character;  // nullptr for the root
    const uint16_t characterId;
    int32_t depth;  // changes only with a swap of depths
    const int nesting;
    MovieClip* parent;
    DisplayObject* button = nullptr;  // the button whose current state shows this instance
    Placement place;
    // The scale and rotation a script last gave, good while the matrix they made stands:
    // the matrix alone cannot tell a negative scale from a half turn.
    struct ScriptTransform {
        double xScale = 0, yScale = 0, rotation = 0;
        Matrix made;
        bool set = false;
    } scriptTransform;
    bool fromTimeline = true;    // placed by its parent's timeline, not made by a script
    bool swapped = false;        // moved by swapDepths: its timeline no longer places it
    bool retired = false;        // removed: only its unload scripts still run
    uint64_t createdTick = 0;
    std::vector<swf::ClipAction> clipActions;

    std::unique_ptr<MovieClip> clip;  // sprites and the root
    std::shared_ptr<const raster::BitmapBuffer> bitmap;  // attached script bitmaps
    bool bitmapSmoothing = false;
    std::unique_ptr<Drawing> drawing;  // made by the first drawing-API call
    ButtonPhase buttonPhase = ButtonPhase::Up;
    std::unique_ptr<text::EditText> editText;  // text fields
    DisplayList buttonChildren;       // records shown in the current phase

private:
    std::shared_ptr<const Shape> m_morph;
    uint16_t m_morphRatio = 0;
    std::unique_ptr<const text::TextPicture> m_text;
    uint64_t m_textVersion = 0;
    RectTwips m_textBox;
};

// The inverse of an affine matrix; false when it has none.
bool InvertMatrix(const Matrix& m, Matrix& out);

// Creates the instance for a character: sprites get a timeline, buttons their up state.
// Without a name, scriptable instances get the next default one ("instanceN").
std::unique_ptr<DisplayObject> CreateInstance(PlayContext& context, uint16_t characterId, int32_t depth,
                                              int nesting, MovieClip* parent, std::string_view name);

}  // namespace velmora::movie
