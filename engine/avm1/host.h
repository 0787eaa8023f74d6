// What the script machine needs from the world around it: the display list
// (clips, buttons, text fields) and the environment (trace, URLs, clock, input).
// The movie engine implements both; tests use fakes. The VM never touches files
// or the network itself.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/core/filter.h"
#include "engine/core/geometry.h"
#include "engine/text/text_format.h"

namespace velmora::raster {
class BitmapBuffer;
}

namespace velmora::avm1 {

// Opaque handle of a display object owned by the movie side; 0 is "none".
using ClipId = uint64_t;
inline constexpr ClipId kNoClip = 0;

enum class ClipKind : uint8_t { MovieClip, Button, TextField, Other };

// Clip properties in the order of GetProperty/SetProperty indices.
enum class ClipProp : uint8_t {
    X, Y, XScale, YScale, CurrentFrame, TotalFrames, Alpha, Visible, Width, Height,
    Rotation, Target, FramesLoaded, Name, DropTarget, Url, HighQuality, FocusRect,
    SoundBufTime, Quality, XMouse, YMouse,
};
inline constexpr int kClipPropCount = 22;

// A property value crossing the interface: numbers for geometry, text for names.
struct HostValue {
    enum class Kind : uint8_t { Undefined, Number, String, Boolean, Null } kind = Kind::Undefined;
    double number = 0;
    std::string text;

    static HostValue Number(double n) { return {Kind::Number, n, {}}; }
    static HostValue String(std::string s) { return {Kind::String, 0, std::move(s)}; }
    static HostValue Boolean(bool b) { return {Kind::Boolean, b ? 1.0 : 0.0, {}}; }
    static HostValue Null() { return {Kind::Null, 0, {}}; }
};

struct Bounds {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;  // pixels
};

// One call of the drawing API (moveTo, lineTo, curveTo, beginFill, ...).
struct DrawCommand {
    enum class Kind : uint8_t { Clear, MoveTo, LineTo, CurveTo, BeginFill, BeginGradientFill, LineStyle, EndFill };
    Kind kind = Kind::Clear;
    std::vector<double> numbers;  // coordinates in pixels, colours, alphas, thickness
    std::string text;             // gradient type ("linear"/"radial")
};

struct DisplayEffects {
    BlendMode blendMode = BlendMode::Normal;
    std::vector<Filter> filters;
    bool cacheAsBitmap = false;
};

class DisplayHost {
public:
    virtual ~DisplayHost() = default;

    // Navigation. Names compare case-insensitively unless caseSensitive (SWF 7+).
    virtual ClipId Level(int level) = 0;  // _levelN, kNoClip when absent
    virtual ClipId Parent(ClipId clip) = 0;
    virtual ClipId ChildByName(ClipId clip, std::string_view name, bool caseSensitive) = 0;
    virtual std::vector<ClipId> Children(ClipId clip) = 0;  // in depth order
    virtual bool IsAlive(ClipId clip) = 0;
    virtual ClipKind Kind(ClipId clip) = 0;

    virtual HostValue GetProperty(ClipId clip, ClipProp prop) = 0;
    virtual void SetProperty(ClipId clip, ClipProp prop, const HostValue& value) = 0;

    // Timeline control; frames are 0-based. GotoFrame keeps the play state (the
    // script says play/stop separately). FrameOfLabel is -1 for an unknown label.
    virtual void GotoFrame(ClipId clip, int frame) = 0;
    virtual int FrameOfLabel(ClipId clip, std::string_view label) = 0;
    virtual void Play(ClipId clip) = 0;
    virtual void Stop(ClipId clip) = 0;
    virtual bool FrameLoaded(ClipId clip, int frame) = 0;
    // ActionCall: runs the actions of a frame of the clip now, without going there.
    virtual void CallFrame(ClipId clip, int frame) = 0;

    // Clip management; the new clip or kNoClip.
    virtual ClipId Duplicate(ClipId clip, std::string_view name, int depth) = 0;
    virtual void Remove(ClipId clip) = 0;
    virtual ClipId Attach(ClipId parent, std::string_view linkageId, std::string_view name, int depth) = 0;
    virtual ClipId CreateEmpty(ClipId parent, std::string_view name, int depth) = 0;
    virtual ClipId CreateTextField(ClipId parent, std::string_view name, int depth, const Bounds& box) = 0;
    virtual void SwapDepths(ClipId clip, int depth) = 0;
    virtual int Depth(ClipId clip) = 0;
    virtual int NextHighestDepth(ClipId clip) = 0;

    virtual double BytesLoaded(ClipId clip) = 0;
    virtual double BytesTotal(ClipId clip) = 0;

    virtual bool HitTestPoint(ClipId clip, double x, double y, bool shapeFlag) = 0;
    virtual bool HitTestClip(ClipId clip, ClipId other) = 0;
    virtual Bounds GetBounds(ClipId clip, ClipId space) = 0;
    virtual void LocalToGlobal(ClipId clip, double& x, double& y) = 0;
    virtual void GlobalToLocal(ClipId clip, double& x, double& y) = 0;
    virtual void StartDrag(ClipId clip, bool lockCenter, const Bounds* limits) = 0;
    virtual void StopDrag() = 0;
    virtual void Draw(ClipId clip, const DrawCommand& command) = 0;
    // The Color class.
    virtual ColorTransform GetColorTransform(ClipId clip) = 0;
    virtual void SetColorTransform(ClipId clip, const ColorTransform& transform) = 0;

    // flash.geom.Transform: the clip's own matrix (translation in pixels), the one
    // to the stage, the colour transform from the stage down, and the stage pixels drawn.
    virtual Matrix GetMatrix(ClipId) { return {}; }
    virtual void SetMatrix(ClipId, const Matrix&) {}
    virtual Matrix GetConcatenatedMatrix(ClipId) { return {}; }
    virtual ColorTransform GetConcatenatedColorTransform(ClipId) { return {}; }
    virtual Bounds GetPixelBounds(ClipId) { return {}; }

    // Script bitmaps: shown on a clip at a depth (the new instance or kNoClip), a clip's
    // picture drawn into one (its content in its own space, then `matrix` in pixels), and
    // the pixels of a library bitmap by linkage name (null when there is none).
    virtual ClipId AttachBitmap(ClipId, std::shared_ptr<raster::BitmapBuffer>, int, bool) { return kNoClip; }
    virtual void DrawClip(ClipId, raster::BitmapBuffer&, const Matrix&, const ColorTransform&, bool) {}
    virtual std::shared_ptr<raster::BitmapBuffer> LoadBitmap(std::string_view) { return nullptr; }

    // Blend mode, filters and bitmap caching (blendMode, filters, cacheAsBitmap).
    virtual bool GetEffects(ClipId, DisplayEffects&) { return false; }
    virtual void SetEffects(ClipId, const DisplayEffects&) {}

    // Text fields and any other named native property ("text", "textColor", ...).
    virtual bool GetNativeProperty(ClipId clip, std::string_view name, HostValue& out) = 0;
    virtual bool SetNativeProperty(ClipId clip, std::string_view name, const HostValue& value) = 0;

    // Text field formats over [begin, end) in UTF-16 units; the host clamps the range.
    // newText: the format typed or set text gets (getNewTextFormat/setNewTextFormat).
    virtual bool GetTextFormat(ClipId, int /*begin*/, int /*end*/, bool /*newText*/, text::TextFormat&) { return false; }
    virtual void SetTextFormat(ClipId, int /*begin*/, int /*end*/, bool /*newText*/, const text::TextFormat&) {}
    // replaceText/replaceSel (begin < 0: the selection).
    virtual void ReplaceText(ClipId, int /*begin*/, int /*end*/, std::string_view /*utf8*/) {}
    // Keyboard focus (Selection) and the focused field's selection, -1 without one.
    virtual ClipId Focus() { return kNoClip; }
    virtual void SetFocus(ClipId) {}
    virtual void GetSelection(int& begin, int& end, int& caret) { begin = end = caret = -1; }
    virtual void SetSelection(int /*begin*/, int /*end*/) {}

    // loadMovie/loadVariables/unloadMovie on a target; the host fetches, the VM does not.
    virtual void LoadMovie(ClipId target, std::string_view url, int method) = 0;
    virtual void LoadVariables(ClipId target, std::string_view url, int method) = 0;
    virtual void UnloadMovie(ClipId target) = 0;
};

// A transfer a script started (XML.load, LoadVars.sendAndLoad, ...).
struct DataRequest {
    std::string url;  // as the script gave it; relative ones are the host's to resolve
    bool post = false;
    std::string body;  // the form data or XML text sent
    std::string contentType;
    std::vector<std::pair<std::string, std::string>> headers;
};

// The environment: output, navigation requests, time and input state.
class Host {
public:
    virtual ~Host() = default;
    virtual void Trace(std::string_view line) = 0;
    // "FSCommand:" URLs arrive here split into command and arguments.
    virtual void FsCommand(std::string_view command, std::string_view args) = 0;
    // Any other getURL; the host decides whether to open it.
    virtual void GetUrl(std::string_view url, std::string_view target, int method) = 0;
    virtual double Milliseconds() = 0;  // since the movie started
    virtual void StopSounds() = 0;
    virtual void ToggleQuality() = 0;
    virtual bool IsKeyDown(int keyCode) = 0;
    virtual int LastKeyCode() = 0;
    virtual int LastKeyAscii() = 0;
    // The stage's size in pixels: the viewport's under noScale, else the movie's.
    virtual double StageWidth() = 0;
    virtual double StageHeight() = 0;
    // Stage.scaleMode changed; the host lays the movie out again and, when that changes
    // the stage's size, broadcasts Stage.onResize before returning.
    virtual void SetNoScale(bool) {}
    // Starts a transfer and returns its id (never 0); the host answers later through
    // Vm::DataArrived, never from inside this call. 0: refused, nothing will arrive.
    virtual uint32_t RequestData(const DataRequest&) { return 0; }
};

// A Sound object's settings, in the script's numbers: volume and the four channel
// percentages (ll/lr: left and right input into the left speaker; rr/rl: into the right).
struct SoundSettings {
    int32_t volume = 100;
    int32_t ll = 100, lr = 0, rr = 100, rl = 0;
};

// What the Sound class needs from the movie: settings per clip (kNoClip: the global
// ones over every sound), sounds by linkage name, and event sounds it starts and stops.
class SoundHost {
public:
    virtual ~SoundHost() = default;
    virtual SoundSettings GetSoundSettings(ClipId clip) = 0;
    virtual void SetSoundSettings(ClipId clip, const SoundSettings& settings) = 0;
    // The DefineSound exported under the name; 0 when there is none.
    virtual int FindSound(std::string_view linkageId) = 0;
    virtual double SoundDurationMs(int soundId) = 0;
    // Plays the sound for `owner` from `offsetMs`, `loops` times; the voice, 0 if none.
    virtual uint64_t StartSound(ClipId owner, int soundId, double offsetMs, int loops) = 0;
    // Stops one sound (soundId > 0) or all the owner's sounds; for the global owner, every sound.
    virtual void StopSound(ClipId owner, int soundId) = 0;
    enum class VoiceState : uint8_t { Playing, Ended, Stopped };
    virtual VoiceState StateOf(uint64_t voice) = 0;
    virtual double VoicePositionMs(uint64_t voice) = 0;
};

// A host that ignores everything; for running scripts with no movie around them.
class NullHost : public Host {
public:
    void Trace(std::string_view) override {}
    void FsCommand(std::string_view, std::string_view) override {}
    void GetUrl(std::string_view, std::string_view, int) override {}
    double Milliseconds() override { return 0; }
    void StopSounds() override {}
    void ToggleQuality() override {}
    bool IsKeyDown(int) override { return false; }
    int LastKeyCode() override { return 0; }
    int LastKeyAscii() override { return 0; }
    double StageWidth() override { return 550; }
    double StageHeight() override { return 400; }
};

}  // namespace velmora::avm1
