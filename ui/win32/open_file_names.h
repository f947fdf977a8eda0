#pragma once
// What the explorer-style open-file dialog writes into its buffer when several files may
// be picked: one full path when one file was picked, else the folder followed by the bare
// names; each ends with a NUL, and an empty string ends the list.
#include <string>
#include <vector>

namespace win32ui {

std::vector<std::wstring> pickedFiles(const wchar_t* buffer);

}  // namespace win32ui
