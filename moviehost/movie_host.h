// The movie host: a child window that plays one movie with our engine and offers the
// operations the player's windows use (the same ones the Flash control offered).
// Frame numbers here count from 0, as GotoFrame and FrameNum always did.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "engine/movie/player.h"
#include "engine/script/scripted_player.h"
#include "moviehost/presenter.h"
#include "moviehost/wave_out.h"
#include "toolkit/window.h"

namespace velmora::moviehost {

class UrlDownload;

// The class name the shell's right-click hook looks for.
inline constexpr wchar_t kMovieHostClass[] = L"MacromediaFlashPlayerActiveX";

class MovieHost : public toolkit::Window {
public:
    MovieHost();
    ~MovieHost() override;

    // A child of `parent` covering `bounds` (parent pixels).
    bool Create(HWND parent, const RECT& bounds, int id = 0);

    // A local path (any extension), a web address, or "-1" to unload. A missing file, an
    // unreachable address or a broken movie leave the host empty; nothing is reported.
    void SetMovie(const std::string& movie);
    const std::string& Movie() const { return m_movie; }
    // A movie already in memory (the projector's appended movie); `name` becomes Movie.
    void SetMovieData(std::span<const uint8_t> bytes, const std::string& name);
    // The movie's stage in pixels at 100 %, or 0 x 0 before the header arrived.
    SIZE StageSize() const;

    void Play();
    void Stop();
    void Rewind();
    // Past the last frame stays on the last frame.
    void GotoFrame(int32_t frame);
    int32_t FrameNum() const;
    void SetFrameNum(int32_t frame) { GotoFrame(frame); }
    int32_t TotalFrames() const;
    int32_t PercentLoaded() const;
    bool IsPlaying() const;

    // 50 doubles the magnification, 200 halves it, 0 shows the whole movie again.
    void Zoom(int32_t percent);
    void SetScaleMode(int32_t mode);  // 0 fit keeping proportions, 3 own size
    void SetAlignMode(int32_t mode);  // 0 centre, 5 left and top
    void SetBackgroundColor(int32_t rgb);  // 0xRRGGBB
    void SetBGColor(std::string_view color);  // "": the movie's own colour again
    void SetQuality(int32_t quality);  // 1 high, 0 low
    void SetQuality2(std::string_view quality);  // "high", "low", "autolow"
    const std::string& Quality2() const { return m_quality2; }
    void SetWMode(std::string_view mode) { m_wmode = mode; }
    const std::string& WMode() const { return m_wmode; }

    // Placement in the parent's coordinates.
    void Move(int leftTwips, int topTwips, int widthTwips, int heightTwips);
    void SetBounds(const RECT& pixels);
    void SetVisible(bool visible);

    std::function<void(const std::string& command, const std::string& args)> onFSCommand;
    std::function<void()> onGotFocus;

    // The last presented frame, for tests and frame pictures (0x00BBGGRR).
    COLORREF PixelAt(int x, int y) const { return m_presenter.PixelAt(x, y); }
    // Draws now instead of at the next tick.
    void RenderNow();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void LoadLocalFile(const std::string& path);
    void LoadBytes(std::span<const uint8_t> bytes);
    void TakeDownload();
    void Tick();
    void StartDataTransfer(uint32_t request, const avm1::DataRequest& what);
    void TakeDataTransfers();
    void StartSoundOutput();
    void StopSoundOutput();
    void RestartTimer();
    void Present();
    void ShowHostMenu(POINT screen);
    void OnMenuCommand(int command);

    script::ScriptedPlayer m_scripted;  // the player with the movie's scripts
    movie::Player& m_player = m_scripted.GetPlayer();
    WaveOut m_audio;  // pulls from the player's mixer: declared after the player, closed before it
    bool m_audioTried = false;  // this movie asked for the sound device already
    raster::Surface m_surface;
    Presenter m_presenter;
    std::unique_ptr<UrlDownload> m_download;
    struct DataTransfer {
        std::unique_ptr<UrlDownload> download;
        std::string bytes;
    };
    std::map<uint32_t, DataTransfer> m_transfers;  // scripts' web loads by request
    std::string m_movie;
    std::string m_quality2 = "high";
    std::string m_wmode = "Window";
    LARGE_INTEGER m_lastTick{};
    UINT m_timerInterval = 0;
    char32_t m_highSurrogate = 0;  // first half of a WM_CHAR pair
};

}  // namespace velmora::moviehost
