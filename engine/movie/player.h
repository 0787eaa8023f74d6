// The player-facing API the movie host wraps: loading (also progressive), playback,
// view settings, timing, rendering with dirty regions, input, and the hooks through
// which the script VM runs action bytes and raises FSCommand, getURL and trace.
// Frame numbers here are 1-based. No global state: any number of players may coexist.
#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "engine/audio/mixer.h"
#include "engine/movie/display_object.h"
#include "engine/movie/draw_list.h"
#include "engine/movie/movie_loader.h"
#include "engine/raster/renderer.h"

namespace velmora::movie {

class MovieClip;

enum class ScaleMode : uint8_t { ShowAll, NoScale };
enum class AlignMode : uint8_t { Center, TopLeft };

struct PlayerCallbacks {
    // Runs queued action bytes (frame scripts, button and clip events) in the VM.
    std::function<void(const ActionRequest&)> runActions;
    std::function<void(std::string_view command, std::string_view args)> fsCommand;
    std::function<void(std::string_view url, std::string_view target)> getUrl;
    std::function<void(std::string_view text)> trace;
    // An instance is about to be destroyed (still findable by its serial).
    std::function<void(uint64_t serial)> clipRemoved;
    // Whether scripts gave an instance an unload method: its removal then waits a tick.
    std::function<bool(uint64_t serial)> hasUnloadMethod;
    // Typing changed a text field's text.
    std::function<void(uint64_t serial)> textChanged;
    // After each Advance and each RunFrame: time for timers and housekeeping.
    std::function<void()> ticked;
};

class Player {
public:
    Player();
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    void SetCallbacks(PlayerCallbacks callbacks);
    // The host's device fonts, for text whose font has no outlines (shared with other
    // players); none by default.
    void SetFontProvider(std::shared_ptr<backend::FontProvider> fonts);

    // Whole movie at once.
    void Load(std::span<const uint8_t> bytes);
    // Progressive loading: frames play as they arrive.
    void BeginLoad();
    void AppendBytes(std::span<const uint8_t> bytes);
    void FinishLoad();
    // Back to nothing: only the background shows.
    void Unload();

    bool HasMovie() const;
    bool LoadFailed() const;
    const MovieDefinition* Definition() const;
    int PercentLoaded() const;
    uint32_t TotalFrames() const;   // from the header, known early; 0 before
    uint32_t FramesLoaded() const;
    uint32_t CurrentFrame() const;  // 0 before the first frame shows
    bool IsPlaying() const;

    void Play();
    void Stop();
    void Rewind();  // first frame, stopped
    // Past the last loaded frame stays on the last one.
    void GotoFrame(uint32_t frame);
    bool GotoLabel(std::string_view label);

    // The host's Zoom(n): 50 doubles the magnification, 200 halves it, 0 resets.
    void Zoom(int percent);
    void SetScaleMode(ScaleMode mode);
    ScaleMode GetScaleMode() const { return m_scaleMode; }
    void SetAlignMode(AlignMode mode);
    void SetBackgroundOverride(Rgba color);
    void ResetBackground();
    void SetQuality(raster::Quality quality);
    raster::Quality Quality() const { return m_quality; }

    // Advances the clock; runs as many frames as the movie's frame rate says, or, while a
    // soundtrack plays and an audio clock is set, as many as keep the picture with it:
    // frames wait for a slow soundtrack and are skipped (run, not drawn) to catch up.
    void Advance(double elapsedMs);
    // Runs exactly one frame.
    void RunFrame();
    double FrameIntervalMs() const;
    // Movie time since the load: Advance adds the elapsed time, a lone RunFrame one frame.
    double ClockMs() const { return m_timeMs; }

    // Sound. The host's output pulls from the mixer; its clock paces soundtracks (none:
    // the wall clock, as without a sound device). MP3 needs the host's decoder.
    audio::Mixer& Mixer() { return m_mixer; }
    void SetAudioClock(const audio::AudioClock* clock) { m_audioClock = clock; }
    void SetMp3Decoder(std::unique_ptr<audio::Mp3Decoder> decoder);
    audio::Mp3Decoder* Mp3() const { return m_mp3.get(); }
    bool HasSound() const;
    // stopAllSounds: every sound and soundtrack; timelines that play on start theirs again.
    void StopSounds();

    // Draws what changed since the last call into `surface` (its size is the viewport)
    // and returns that region; empty when nothing changed.
    raster::PixelRect Render(raster::Surface& surface);
    // Draws one instance's content (its own placement left out) into any surface, at
    // quality high; for scripts that draw clips into bitmaps.
    void DrawInstance(DisplayObject& object, raster::Surface& surface, const Matrix& toPixels,
                      const ColorTransform& cx);
    // The host's window size in pixels, before the first Render (which keeps it current
    // after); 0 while unknown.
    void SetViewportSize(int width, int height);
    int ViewportWidth() const { return m_viewportWidth; }
    int ViewportHeight() const { return m_viewportHeight; }
    // Twips of the stage -> pixels of a viewport of the given size.
    Matrix StageToPixels(int width, int height) const;

    // Input in viewport pixels (of the last rendered surface).
    void MouseMove(double x, double y);
    void MouseDown(double x, double y);
    void MouseUp(double x, double y);
    void KeyDown(uint8_t keyCode);
    void KeyUp(uint8_t keyCode);
    // A typed character (after the host's keyboard layout and input method) for the
    // focused text field.
    void TypeChar(char32_t codePoint);
    bool IsKeyDown(uint8_t keyCode) const { return m_keysDown.test(keyCode); }
    // The instance with the keyboard focus (serial, 0 for none); a click on a selectable
    // text field focuses it.
    uint64_t Focus() const { return m_focus; }
    void SetFocus(uint64_t serial) { m_focus = serial; }
    uint8_t LastKey() const { return m_lastKey; }

    // For the script VM.
    MovieClip* Root();
    DisplayObject* FindInstance(uint64_t serial);
    // "FSCommand:cmd" goes to the FSCommand callback with the target as its argument.
    void RaiseGetUrl(std::string_view url, std::string_view target);
    void RaiseTrace(std::string_view text);

private:
    raster::BitmapLookup Bitmaps() const;
    void StartIfReady();
    void StepFrame();
    void DropRemoved();  // instances removed during the last tick, their unload handlers run
    // Frames the soundtrack says are due now; nullopt when no soundtrack sets the pace.
    std::optional<int> FramesDueBySound() const;
    void PlayButtonSound(DisplayObject& button, uint16_t condition);
    void RunQueuedActions();
    void QueueClipEvent(uint32_t event, uint8_t keyCode = 0);
    DisplayObject* ButtonAt(double x, double y);
    void FireButton(DisplayObject& button, uint16_t condition);
    void SetHover(DisplayObject* button);
    // Text field input: the field a click lands on, and editing keys for the focused one.
    DisplayObject* FieldAt(double x, double y, double& localX, double& localY);
    void ClickField(double x, double y);
    bool EditFocusedField(uint8_t keyCode);
    text::EditText* FocusedField();

    audio::Mixer m_mixer;
    std::unique_ptr<audio::Mp3Decoder> m_mp3;
    const audio::AudioClock* m_audioClock = nullptr;
    std::unique_ptr<MovieLoader> m_loader;
    PlayContext m_context;
    std::unique_ptr<DisplayObject> m_root;
    PlayerCallbacks m_callbacks;
    std::shared_ptr<backend::FontProvider> m_fonts;
    std::unique_ptr<FieldFonts> m_fieldFonts;

    double m_zoom = 1;
    ScaleMode m_scaleMode = ScaleMode::ShowAll;
    AlignMode m_alignMode = AlignMode::Center;
    bool m_hasBackgroundOverride = false;
    Rgba m_backgroundOverride;
    raster::Quality m_quality = raster::Quality::High;
    double m_clockMs = 0;  // not yet spent on frames
    double m_timeMs = 0;

    DrawList m_lastDraw;
    bool m_fullRedraw = true;
    int m_lastWidth = 0, m_lastHeight = 0;
    int m_viewportWidth = 0, m_viewportHeight = 0;

    uint64_t m_hover = 0, m_pressed = 0;  // button serials
    uint64_t m_focus = 0;
    bool m_mouseDown = false;
    bool m_draining = false;
    std::bitset<256> m_keysDown;
    uint8_t m_lastKey = 0;
};

}  // namespace velmora::movie
