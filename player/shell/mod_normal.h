// The shell module's routines shared by the player's windows: settings in config.ini
// beside the program, topmost on and off, starting the updater.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace velmora::player {

// A fresh IniFile on config.ini beside the program for each call.
std::string ReadConfigValue(std::string_view section, std::string_view key);
void WriteConfigValue(std::string_view section, std::string_view key, std::string_view value);

// Into or out of the topmost band; position and size stay.
void SetTopMost(HWND form);
void SetNoTopMost(HWND form);

// Starts update.exe from the program folder in a normal, focused window and does not wait;
// a missing file is ignored.
void RunUpdater();

// Starts a program as a separate process in a normal, focused window; false when it
// could not be started.
bool StartProgram(const std::string& path);

}  // namespace velmora::player
