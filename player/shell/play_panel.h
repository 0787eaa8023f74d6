// picPlayControl: the play panel at the foot of the right panel, with the image buttons
// play, stop, previous, next, the speaker and the volume knob, drawn from our pictures.
// The buttons are windowless like the image controls they stand for: pressing shows
// picture 2, releasing picture 1 and clicks; a disabled button takes no mouse input.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string_view>

#include "player/shell/commands.h"
#include "toolkit/window.h"

namespace velmora::player {

class PlayPanel : public toolkit::Window {
public:
    bool Create(HWND parent, const RECT& bounds);
    void SetBounds(const RECT& bounds);

    // Enabled with picture 1, or disabled with picture 0 ("play", "stop", "prev", "next").
    void SetButtonEnabled(std::string_view picture, bool enabled);
    bool IsButtonEnabled(std::string_view picture) const;
    // "sound1" or "sound0"; the speaker and the knob are disabled without a wave device.
    void SetSound(bool sounding, bool enabled);

    std::function<void(Action action)> onClick;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct ButtonState {
        bool enabled = true;
        int look = 1;
    };
    int HitTest(POINT point) const;
    RECT ButtonRect(size_t index) const;
    void Paint(HDC dc) const;

    std::array<ButtonState, 5> m_buttons{};
    int m_pressed = -1;
};

}  // namespace velmora::player
