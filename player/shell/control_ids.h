// Ids and class names of the main window's controls that other windows and the tests
// look for.
#pragma once

namespace velmora::player {

inline constexpr int kIdFrameLabel = 200;    // lblFrame
inline constexpr int kIdPercentLabel = 201;  // lblPercentLoaded
inline constexpr int kIdListName = 202;      // lblListName
inline constexpr int kIdSlider = 203;        // sldFrame
inline constexpr int kIdList = 204;          // lstMovie
inline constexpr int kIdToolbar = 205;       // tbrTools
inline constexpr int kIdRightPanel = 206;    // picRight
inline constexpr int kIdCloseMark = 207;     // lblCloseRight
inline constexpr int kIdFirstToolButton = 300;
inline constexpr int kIdListButtons = 350;   // tbrList: default, favorite, network
inline constexpr wchar_t kMainClass[] = L"VelmoraPlayerMain";
inline constexpr wchar_t kPlayPanelClass[] = L"VelmoraPlayPanel";

}  // namespace velmora::player
