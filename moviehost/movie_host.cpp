#include "moviehost/movie_host.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <optional>
#include <vector>

#include "moviehost/gdi_fonts.h"
#include "moviehost/mp3_acm.h"
#include "moviehost/source_rules.h"
#include "moviehost/url_download.h"

namespace velmora::moviehost {

namespace {
constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kDownloadMessage = WM_APP + 1;
constexpr UINT kDataMessage = WM_APP + 2;
// Scripts' loads larger than this fail instead of filling the memory.
constexpr size_t kMaxDataBytes = 64u << 20;

// A whole file by its UTF-8 path; nothing when it cannot be read or is over `maxBytes`.
std::optional<std::string> ReadLocalFile(const std::string& path, size_t maxBytes) {
    std::ifstream in(toolkit::Widen(path).c_str(), std::ios::binary);
    if (!in) return std::nullopt;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > maxBytes) return std::nullopt;
    in.seekg(0);
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!in.read(bytes.data(), size)) return std::nullopt;
    return bytes;
}

double MillisecondsSince(LARGE_INTEGER& last) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    const double ms = last.QuadPart ? 1000.0 * static_cast<double>(now.QuadPart - last.QuadPart) /
                                          static_cast<double>(frequency.QuadPart)
                                    : 0.0;
    last = now;
    return ms;
}
}  // namespace

MovieHost::MovieHost() {
    movie::PlayerCallbacks callbacks;
    callbacks.fsCommand = [this](std::string_view command, std::string_view args) {
        if (onFSCommand) onFSCommand(std::string(command), std::string(args));
    };
    // Other addresses and trace lines: the player opens and shows none by itself.
    m_scripted.SetCallbacks(std::move(callbacks));
    m_player.SetFontProvider(std::make_shared<GdiFontProvider>());
    m_player.SetMp3Decoder(CreateAcmMp3Decoder());
    m_scripted.SetDataLoader(
        [this](uint32_t request, const avm1::DataRequest& what) { StartDataTransfer(request, what); });
}

MovieHost::~MovieHost() = default;

bool MovieHost::Create(HWND parent, const RECT& bounds, int id) {
    return CreateWindowOf(kMovieHostClass, 0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, L"",
                          bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                          parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void MovieHost::SetMovie(const std::string& movie) {
    m_movie = movie;
    m_download.reset();
    m_transfers.clear();
    StopSoundOutput();
    m_player.Unload();
    switch (ClassifyMovieSource(movie)) {
    case MovieSource::Unload: break;
    case MovieSource::LocalFile: LoadLocalFile(movie); break;
    case MovieSource::WebAddress:
        m_player.BeginLoad();
        if (Handle()) m_download = std::make_unique<UrlDownload>(Handle(), kDownloadMessage, movie);
        break;
    }
    RestartTimer();
    RenderNow();
}

void MovieHost::SetMovieData(std::span<const uint8_t> bytes, const std::string& name) {
    m_movie = name;
    m_download.reset();
    m_transfers.clear();
    StopSoundOutput();
    LoadBytes(bytes);
    RestartTimer();
    RenderNow();
}

SIZE MovieHost::StageSize() const {
    const movie::MovieDefinition* definition = m_player.Definition();
    if (!definition) return {0, 0};
    const RectTwips& stage = definition->header.frameSize;
    return {(stage.xMax - stage.xMin) / 20, (stage.yMax - stage.yMin) / 20};
}

void MovieHost::LoadLocalFile(const std::string& path) {
    const std::optional<std::string> bytes = ReadLocalFile(path, SIZE_MAX);
    if (!bytes) return;
    LoadBytes({reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()});
}

void MovieHost::LoadBytes(std::span<const uint8_t> bytes) {
    m_player.Load(bytes);
    if (m_player.LoadFailed()) m_player.Unload();
}

void MovieHost::TakeDownload() {
    if (!m_download) return;
    UrlDownload::Progress progress = m_download->Take();
    if (!progress.bytes.empty())
        m_player.AppendBytes({reinterpret_cast<const uint8_t*>(progress.bytes.data()), progress.bytes.size()});
    if (progress.finished) {
        m_download.reset();
        if (progress.succeeded) {
            m_player.FinishLoad();
        } else if (m_player.FramesLoaded() == 0) {
            m_player.Unload();  // nothing playable arrived: the host stays empty
        } else {
            m_player.FinishLoad();  // keep what arrived
        }
    }
    if (m_player.LoadFailed()) m_player.Unload();
    RestartTimer();
}

// Scripts' XML and LoadVars loads: files beside a local movie are read at once, web
// addresses fetched off the UI thread; the script hears of either at its next tick.
// Sending form data (POST) is not supported: such loads fail.
void MovieHost::StartDataTransfer(uint32_t request, const avm1::DataRequest& what) {
    const std::optional<DataSource> source = what.post ? std::nullopt : ResolveDataSource(m_movie, what.url);
    if (!source || (source->kind == MovieSource::WebAddress && !Handle())) {
        m_scripted.DeliverData(request, false, {});
        return;
    }
    if (source->kind == MovieSource::WebAddress) {
        m_transfers[request].download = std::make_unique<UrlDownload>(Handle(), kDataMessage, source->where);
        return;
    }
    std::optional<std::string> bytes = ReadLocalFile(source->where, kMaxDataBytes);
    m_scripted.DeliverData(request, bytes.has_value(), bytes ? std::move(*bytes) : std::string());
}

void MovieHost::TakeDataTransfers() {
    for (auto it = m_transfers.begin(); it != m_transfers.end();) {
        DataTransfer& transfer = it->second;
        UrlDownload::Progress progress = transfer.download->Take();
        transfer.bytes += progress.bytes;
        const bool tooLarge = transfer.bytes.size() > kMaxDataBytes;
        if (progress.finished || tooLarge) {
            const bool ok = progress.succeeded && !tooLarge;
            m_scripted.DeliverData(it->first, ok, ok ? std::move(transfer.bytes) : std::string());
            it = m_transfers.erase(it);
        } else {
            ++it;
        }
    }
}

void MovieHost::Play() { m_player.Play(); }
void MovieHost::Stop() { m_player.Stop(); }

void MovieHost::Rewind() {
    m_player.Rewind();
    RenderNow();
}

void MovieHost::GotoFrame(int32_t frame) {
    if (!m_player.HasMovie()) return;
    m_player.GotoFrame(static_cast<uint32_t>(std::max(frame, 0)) + 1);
    RenderNow();
}

int32_t MovieHost::FrameNum() const {
    const uint32_t current = m_player.CurrentFrame();
    return current > 0 ? static_cast<int32_t>(current - 1) : 0;
}

int32_t MovieHost::TotalFrames() const { return static_cast<int32_t>(m_player.TotalFrames()); }
int32_t MovieHost::PercentLoaded() const { return m_player.HasMovie() ? m_player.PercentLoaded() : 0; }
bool MovieHost::IsPlaying() const { return m_player.IsPlaying(); }

void MovieHost::Zoom(int32_t percent) {
    m_player.Zoom(percent);
    RenderNow();
}

void MovieHost::SetScaleMode(int32_t mode) {
    m_player.SetScaleMode(mode == 3 ? movie::ScaleMode::NoScale : movie::ScaleMode::ShowAll);
    RenderNow();
}

void MovieHost::SetAlignMode(int32_t mode) {
    m_player.SetAlignMode(mode == 5 ? movie::AlignMode::TopLeft : movie::AlignMode::Center);
    RenderNow();
}

void MovieHost::SetBackgroundColor(int32_t rgb) {
    m_player.SetBackgroundOverride(ColorFromRgb(rgb));
    RenderNow();
}

void MovieHost::SetBGColor(std::string_view color) {
    if (const auto parsed = ColorFromText(color))
        m_player.SetBackgroundOverride(*parsed);
    else
        m_player.ResetBackground();
    RenderNow();
}

void MovieHost::SetQuality(int32_t quality) { SetQuality2(quality == 0 ? "low" : "high"); }

void MovieHost::SetQuality2(std::string_view quality) {
    const auto parsed = QualityFromName(quality);
    if (!parsed) return;
    m_quality2 = quality;
    m_player.SetQuality(*parsed);
    RenderNow();
}

void MovieHost::Move(int leftTwips, int topTwips, int widthTwips, int heightTwips) {
    SetBounds({toolkit::TwipsToPixelsX(leftTwips), toolkit::TwipsToPixelsY(topTwips),
               toolkit::TwipsToPixelsX(leftTwips + widthTwips), toolkit::TwipsToPixelsY(topTwips + heightTwips)});
}

void MovieHost::SetBounds(const RECT& pixels) {
    MoveWindow(Handle(), pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, TRUE);
}

void MovieHost::SetVisible(bool visible) { ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE); }

void MovieHost::RestartTimer() {
    if (!Handle()) return;
    const bool active = m_player.HasMovie() || m_download;
    const double interval = m_player.HasMovie() ? m_player.FrameIntervalMs() : 100.0;
    const UINT ms = active ? static_cast<UINT>(std::clamp(std::isfinite(interval) ? interval : 1000.0, 10.0, 1000.0)) : 0;
    if (ms == m_timerInterval) return;
    m_timerInterval = ms;
    if (ms) {
        SetTimer(Handle(), kFrameTimer, ms, nullptr);
        m_lastTick = {};
        MillisecondsSince(m_lastTick);
    } else {
        KillTimer(Handle(), kFrameTimer);
    }
}

void MovieHost::Tick() {
    StartSoundOutput();
    m_player.Advance(MillisecondsSince(m_lastTick));
    Present();
}

// The device opens once a movie has sound, and from then on its soundtrack is the clock the
// picture follows. Without a device the movie keeps the wall clock and plays silently.
void MovieHost::StartSoundOutput() {
    if (m_audioTried || !m_player.HasSound()) return;
    m_audioTried = true;
    audio::Mixer& mixer = m_player.Mixer();
    if (m_audio.Open([&mixer](int16_t* stereo, size_t frames) { mixer.Mix(stereo, frames); }))
        m_player.SetAudioClock(&mixer);
}

void MovieHost::StopSoundOutput() {
    m_player.SetAudioClock(nullptr);
    m_audio.Close();
    m_audioTried = false;
}

void MovieHost::RenderNow() { Present(); }

void MovieHost::Present() {
    if (!Handle()) return;
    RECT client;
    GetClientRect(Handle(), &client);
    if (m_surface.Width() != client.right || m_surface.Height() != client.bottom) {
        m_surface.Resize(client.right, client.bottom);
        m_presenter.Resize(client.right, client.bottom);
    }
    const raster::PixelRect dirty = m_player.Render(m_surface);
    if (dirty.right <= dirty.left || dirty.bottom <= dirty.top) return;
    m_presenter.Copy(m_surface, dirty);
    const RECT area{dirty.left, dirty.top, dirty.right, dirty.bottom};
    InvalidateRect(Handle(), &area, FALSE);
}

LRESULT MovieHost::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const double x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_TIMER:
        if (wParam == kFrameTimer) Tick();
        return 0;
    case kDownloadMessage:
        TakeDownload();
        return 0;
    case kDataMessage:
        TakeDataTransfers();
        return 0;
    case WM_SIZE:
        Present();
        return 0;
    case WM_ERASEBKGND: return 1;  // every pixel comes from the frame
    case WM_PAINT: {
        toolkit::PaintScope paint(Handle());
        m_presenter.Paint(paint.Dc(), paint.Area());
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(Handle(), &client);
        m_presenter.Paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_MOUSEMOVE: m_player.MouseMove(x, y); return 0;
    case WM_LBUTTONDOWN:
        SetFocus(Handle());
        SetCapture(Handle());
        m_player.MouseDown(x, y);
        return 0;
    case WM_LBUTTONUP:
        ReleaseCapture();
        m_player.MouseUp(x, y);
        return 0;
    case WM_KEYDOWN: m_player.KeyDown(static_cast<uint8_t>(wParam)); return 0;
    case WM_KEYUP: m_player.KeyUp(static_cast<uint8_t>(wParam)); return 0;
    case WM_CHAR: {
        // A Unicode window gets UTF-16 units here, input-method text (Chinese) included;
        // characters beyond the BMP come as two.
        const auto unit = static_cast<char32_t>(wParam & 0xFFFF);
        if (unit >= 0xD800 && unit < 0xDC00) {
            m_highSurrogate = unit;
        } else if (unit >= 0xDC00 && unit < 0xE000) {
            if (m_highSurrogate) m_player.TypeChar(0x10000 + ((m_highSurrogate - 0xD800) << 10) + (unit - 0xDC00));
            m_highSurrogate = 0;
        } else {
            m_player.TypeChar(unit);
        }
        return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
        if (onGotFocus) onGotFocus();
        return 0;
    case WM_CONTEXTMENU: {
        POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (screen.x == -1 && screen.y == -1) {  // from the keyboard: the window's corner
            screen = {0, 0};
            ClientToScreen(Handle(), &screen);
        }
        ShowHostMenu(screen);
        return 0;
    }
    case WM_DESTROY:
        KillTimer(Handle(), kFrameTimer);
        m_timerInterval = 0;
        m_download.reset();
        m_transfers.clear();
        StopSoundOutput();
        break;
    default: break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace velmora::moviehost
