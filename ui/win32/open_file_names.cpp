#include "ui/win32/open_file_names.h"

#include <cwchar>

namespace win32ui {

std::vector<std::wstring> pickedFiles(const wchar_t* buffer) {
    std::vector<std::wstring> parts;
    for (const wchar_t* p = buffer; *p; p += std::wcslen(p) + 1) parts.emplace_back(p);
    if (parts.size() <= 1) return parts;
    std::wstring folder = parts.front();
    // A drive's root comes with its backslash already.
    if (folder.back() != L'\\') folder += L'\\';
    std::vector<std::wstring> files;
    for (std::size_t i = 1; i < parts.size(); ++i) files.push_back(folder + parts[i]);
    return files;
}

}  // namespace win32ui
