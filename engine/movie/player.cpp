#include "engine/movie/player.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "engine/movie/movie_clip.h"
#include "engine/movie/text_field_render.h"

namespace velmora::movie {

namespace {

constexpr size_t kMaxActionsPerDrain = 100000;  // a script loop of gotos must not hang the host
constexpr int kMaxFramesPerAdvance = 10;       // after a stall, skip time instead of racing

}  // namespace

Player::Player() : m_fieldFonts(std::make_unique<FieldFonts>(m_context)) {
    m_context.fieldFonts = m_fieldFonts.get();
    m_context.mixer = &m_mixer;
}

Player::~Player() {
    m_context.removing = nullptr;  // the whole movie goes: nobody needs to hear of each clip
    m_root.reset();
}

void Player::SetCallbacks(PlayerCallbacks callbacks) {
    m_callbacks = std::move(callbacks);
    m_context.removing = m_callbacks.clipRemoved;
    m_context.hasUnloadMethod = m_callbacks.hasUnloadMethod;
}

void Player::SetFontProvider(std::shared_ptr<backend::FontProvider> fonts) {
    m_fonts = std::move(fonts);
    m_context.fonts = m_fonts.get();
}

void Player::Load(std::span<const uint8_t> bytes) {
    BeginLoad();
    AppendBytes(bytes);
    FinishLoad();
}

void Player::BeginLoad() {
    Unload();
    m_loader = std::make_unique<MovieLoader>();
}

void Player::AppendBytes(std::span<const uint8_t> bytes) {
    if (!m_loader) BeginLoad();
    m_loader->Append(bytes);
    StartIfReady();
}

void Player::FinishLoad() {
    if (!m_loader) return;
    m_loader->Finish();
    StartIfReady();
}

void Player::Unload() {
    m_root.reset();
    m_context.pendingRemoval.clear();
    m_mixer.StopAll();
    m_mixer.ForgetOwner(audio::kGlobalOwner);
    m_loader.reset();
    m_context.queue.clear();
    m_context.constructs.clear();
    m_context.initsRun.clear();
    m_context.enterFrames.clear();
    m_context.tick = 0;
    m_context.nextInstanceName = 1;
    m_context.changed = true;
    m_hover = m_pressed = 0;
    m_clockMs = 0;
    m_timeMs = 0;
    m_keysDown.reset();
    m_fullRedraw = true;
}

void Player::StartIfReady() {
    if (!m_loader || !m_loader->HeaderReady()) return;
    m_context.definition = &m_loader->Definition();
    m_context.rootLoading = !m_loader->Complete();
    m_context.frameRate = 1000.0 / FrameIntervalMs();
    if (!m_root) {
        m_root = std::make_unique<DisplayObject>(m_context, nullptr, 0, 0, 0, nullptr);
        m_root->clip = std::make_unique<MovieClip>(m_context, *m_root, m_context.definition->root, true);
        m_fullRedraw = true;  // the background colour may have arrived
    }
    if (m_root->clip->CurrentFrame() == 0 && m_root->clip->FramesLoaded() > 0) {
        m_root->clip->EnsureStarted();
        RunQueuedActions();
    }
}

bool Player::HasMovie() const { return m_root != nullptr; }

bool Player::LoadFailed() const { return m_loader && m_loader->Complete() && !m_loader->HeaderReady(); }

const MovieDefinition* Player::Definition() const { return m_root ? m_context.definition : nullptr; }

int Player::PercentLoaded() const { return m_loader ? m_loader->PercentLoaded() : 0; }

uint32_t Player::TotalFrames() const {
    return m_loader && m_loader->HeaderReady() ? m_loader->Definition().header.frameCount : 0;
}

uint32_t Player::FramesLoaded() const { return m_loader ? m_loader->FramesLoaded() : 0; }

uint32_t Player::CurrentFrame() const { return m_root ? m_root->clip->CurrentFrame() : 0; }

bool Player::IsPlaying() const { return m_root && m_root->clip->IsPlaying(); }

MovieClip* Player::Root() { return m_root ? m_root->clip.get() : nullptr; }

DisplayObject* Player::FindInstance(uint64_t serial) {
    auto it = m_context.live.find(serial);
    return it == m_context.live.end() ? nullptr : it->second;
}

void Player::Play() {
    if (m_root) m_root->clip->Play();
}

void Player::Stop() {
    if (m_root) m_root->clip->Stop();
}

void Player::Rewind() {
    if (!m_root) return;
    m_root->clip->GotoFrame(1, false);
    RunQueuedActions();
}

void Player::GotoFrame(uint32_t frame) {
    if (!m_root) return;
    m_root->clip->GotoFrame(static_cast<uint16_t>(std::clamp<uint32_t>(frame, 1, 0xFFFF)), IsPlaying());
    RunQueuedActions();
}

bool Player::GotoLabel(std::string_view label) {
    if (!m_root || !m_root->clip->GotoLabel(label, IsPlaying())) return false;
    RunQueuedActions();
    return true;
}

void Player::Zoom(int percent) {
    if (percent == 0) m_zoom = 1;
    else if (percent > 0) m_zoom = std::clamp(m_zoom * 100.0 / percent, 1.0 / 64, 64.0);
    m_fullRedraw = true;
}

void Player::SetScaleMode(ScaleMode mode) {
    m_scaleMode = mode;
    m_fullRedraw = true;
}

void Player::SetViewportSize(int width, int height) {
    m_viewportWidth = width;
    m_viewportHeight = height;
}

void Player::SetAlignMode(AlignMode mode) {
    m_alignMode = mode;
    m_fullRedraw = true;
}

void Player::SetBackgroundOverride(Rgba color) {
    m_hasBackgroundOverride = true;
    m_backgroundOverride = color;
    m_fullRedraw = true;
}

void Player::ResetBackground() {
    m_hasBackgroundOverride = false;
    m_fullRedraw = true;
}

void Player::SetQuality(raster::Quality quality) {
    if (quality != m_quality) m_fullRedraw = true;
    m_quality = quality;
}

double Player::FrameIntervalMs() const {
    float rate = m_loader && m_loader->HeaderReady() ? m_loader->Definition().header.frameRate : 0;
    return 1000.0 / (rate > 0 ? rate : 12.0f);
}

void Player::SetMp3Decoder(std::unique_ptr<audio::Mp3Decoder> decoder) {
    m_mp3 = std::move(decoder);
    m_context.mp3 = m_mp3.get();
}

bool Player::HasSound() const { return m_root && m_context.definition->hasSound; }

void Player::StopSounds() {
    while (!m_context.streams.empty()) m_context.streams.begin()->second->StopStream();
    m_mixer.StopAll();
}

std::optional<int> Player::FramesDueBySound() const {
    if (!m_audioClock || m_context.streams.empty()) return std::nullopt;
    // The oldest soundtrack (the root's first) paces the movie, as in Flash.
    const auto& [serial, clip] = *m_context.streams.begin();
    const uint64_t played = m_audioClock->StreamPlayed(serial);
    // A soundtrack played to its end (or starved) no longer says anything: the wall clock does.
    if (played >= clip->StreamQueued()) return std::nullopt;
    const auto soundFrame = static_cast<int64_t>(static_cast<double>(played) * m_context.frameRate /
                                                 audio::Mixer::kOutputRate);
    return static_cast<int>(std::max<int64_t>(0, clip->StreamStartFrame() + soundFrame - clip->CurrentFrame()));
}

void Player::Advance(double elapsedMs) {
    if (!m_root || elapsedMs <= 0) return;
    m_timeMs += elapsedMs;
    if (const auto due = FramesDueBySound()) {
        m_clockMs = 0;
        for (int i = 0; i < std::min(*due, kMaxFramesPerAdvance); ++i) StepFrame();
        if (m_callbacks.ticked) m_callbacks.ticked();
        return;
    }
    m_clockMs += elapsedMs;
    const double interval = FrameIntervalMs();
    int frames = 0;
    while (m_clockMs >= interval && frames < kMaxFramesPerAdvance) {
        m_clockMs -= interval;
        StepFrame();
        ++frames;
    }
    if (frames == kMaxFramesPerAdvance) m_clockMs = std::fmod(m_clockMs, interval);
    if (m_callbacks.ticked) m_callbacks.ticked();
}

void Player::RunFrame() {
    if (!m_root) return;
    m_timeMs += FrameIntervalMs();
    StepFrame();
    if (m_callbacks.ticked) m_callbacks.ticked();
}

void Player::StepFrame() {
    DropRemoved();
    ++m_context.tick;
    m_context.rootLoading = !m_loader->Complete();
    m_root->clip->Advance();
    m_context.queue.insert(m_context.queue.begin(), m_context.enterFrames.begin(), m_context.enterFrames.end());
    m_context.enterFrames.clear();
    RunQueuedActions();
}

void Player::DropRemoved() {
    std::vector<uint64_t> removed;
    removed.swap(m_context.pendingRemoval);
    for (uint64_t serial : removed) {
        DisplayObject* object = FindInstance(serial);
        if (object && object->parent) object->parent->DropRemoved(object->depth);
    }
}

void Player::RunQueuedActions() {
    if (m_draining) return;  // actions raised by actions join the running drain
    m_draining = true;
    for (size_t i = 0; i < m_context.queue.size() && i < kMaxActionsPerDrain; ++i) {
        ActionRequest request = m_context.queue[i];
        auto target = m_context.live.find(request.target);
        if (target == m_context.live.end() || (target->second->retired && request.event != swf::kClipUnload)) continue;
        m_context.runNext = i + 1;
        if (m_callbacks.runActions) m_callbacks.runActions(request);
    }
    m_context.queue.clear();
    m_context.runNext = kNotRunning;
    m_draining = false;
}

void Player::QueueClipEvent(uint32_t event, uint8_t keyCode) {
    if (!m_root) return;
    const uint8_t version = m_context.definition->header.version;
    if (event != swf::kClipKeyPress)
        m_context.queue.push_back({m_root->serial, {}, version, ActionSource::ClipMethod, event});
    ForEachInstance(m_root->clip->Children(), [&](DisplayObject& object) {
        for (const auto& action : object.clipActions) {
            if (!(action.events & event)) continue;
            if (event == swf::kClipKeyPress && action.keyCode != keyCode) continue;
            m_context.queue.push_back({object.serial, action.actions, version, ActionSource::ClipEvent, event});
        }
        // A clip's event method runs after its onClipEvent handler.
        if (object.clip && event != swf::kClipKeyPress)
            m_context.queue.push_back({object.serial, {}, version, ActionSource::ClipMethod, event});
    });
}

void Player::RaiseGetUrl(std::string_view url, std::string_view target) {
    constexpr std::string_view kPrefix = "fscommand:";
    bool fs = url.size() >= kPrefix.size() &&
              std::equal(kPrefix.begin(), kPrefix.end(), url.begin(), [](char a, char b) {
                  return a == std::tolower(static_cast<unsigned char>(b));
              });
    if (fs) {
        if (m_callbacks.fsCommand) m_callbacks.fsCommand(url.substr(kPrefix.size()), target);
    } else if (m_callbacks.getUrl) {
        m_callbacks.getUrl(url, target);
    }
}

void Player::RaiseTrace(std::string_view text) {
    if (m_callbacks.trace) m_callbacks.trace(text);
}

Matrix Player::StageToPixels(int width, int height) const {
    RectTwips stage = m_loader && m_loader->HeaderReady() ? m_loader->Definition().header.frameSize
                                                          : RectTwips{0, 11000, 0, 8000};
    double stageW = std::max(1, stage.xMax - stage.xMin) / 20.0;
    double stageH = std::max(1, stage.yMax - stage.yMin) / 20.0;
    double scale = m_scaleMode == ScaleMode::ShowAll ? std::min(width / stageW, height / stageH) : 1.0;
    double ox = 0, oy = 0;
    if (m_alignMode == AlignMode::Center) {
        ox = (width - stageW * scale) / 2;
        oy = (height - stageH * scale) / 2;
    }
    // Zoom magnifies around the middle of the viewport.
    double k = m_zoom * scale / 20.0;
    double tx = m_zoom * (ox - scale * stage.xMin / 20.0 - width / 2.0) + width / 2.0;
    double ty = m_zoom * (oy - scale * stage.yMin / 20.0 - height / 2.0) + height / 2.0;
    return {k, 0, 0, k, tx, ty};
}

raster::BitmapLookup Player::Bitmaps() const {
    const MovieDefinition* def = Definition();
    return [def](uint16_t id) -> const Bitmap* {
        const Character* c = def ? def->Find(id) : nullptr;
        return c ? c->AsBitmap() : nullptr;
    };
}

void Player::DrawInstance(DisplayObject& object, raster::Surface& surface, const Matrix& toPixels,
                          const ColorTransform& cx) {
    DrawList draw;
    BuildContentDrawList(object, toPixels, cx, draw);
    raster::Renderer renderer(surface, raster::Quality::High, Bitmaps());
    Execute(renderer, draw);
}

raster::PixelRect Player::Render(raster::Surface& surface) {
    const int w = surface.Width(), h = surface.Height();
    const raster::PixelRect whole = {0, 0, w, h};
    bool full = m_fullRedraw || w != m_lastWidth || h != m_lastHeight;
    if (!full && !m_context.changed && !m_context.showsScriptBitmaps) return {};
    DrawList draw;
    if (m_root) BuildDrawList(m_root->clip->Children(), StageToPixels(w, h), ColorTransform{}, draw);
    raster::PixelRect dirty = full ? whole : ChangedArea(m_lastDraw, draw, whole);
    m_lastDraw = std::move(draw);
    m_context.changed = false;
    m_fullRedraw = false;
    m_lastWidth = w;
    m_lastHeight = h;
    SetViewportSize(w, h);
    if (IsEmpty(dirty)) return {};

    const MovieDefinition* def = Definition();
    Rgba background = m_hasBackgroundOverride ? m_backgroundOverride
                      : def && def->hasBackground ? def->background : Rgba{255, 255, 255, 255};
    raster::Renderer renderer(surface, m_quality, Bitmaps());
    renderer.SetClip(dirty);
    renderer.Clear(background);
    Execute(renderer, m_lastDraw);
    return dirty;
}

}  // namespace velmora::movie
