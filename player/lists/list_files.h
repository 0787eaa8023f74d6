// Reading and writing the list files with wide paths, reporting failures as the system
// describes them.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace velmora::lists {

struct FileRead {
    enum class Status { Read, Missing, Failed };
    Status status = Status::Missing;
    std::string bytes;  // what was read before a failure, too
    std::wstring error;  // the failure's description
};

// A missing file, a missing folder or a folder at the path count as missing; anything
// else that keeps the bytes from being read is a failure.
FileRead ReadWholeFile(const std::wstring& path);

// Writes a temporary file beside the target and moves it over the target, so a write
// that fails leaves the old file as it was. False when nothing was written.
bool ReplaceFileContents(const std::wstring& path, std::string_view bytes);

// Appends to the file, creating it when missing. False when nothing was written.
bool AppendToFile(const std::wstring& path, std::string_view bytes);

// The system's text for an error code, without its line end.
std::wstring ErrorDescription(DWORD error);

}  // namespace velmora::lists
