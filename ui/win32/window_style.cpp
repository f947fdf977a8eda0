#include "ui/win32/window_style.h"

#include <initializer_list>

namespace win32ui::style {
namespace {

// A negative height asks for the character height (the cell without its internal
// leading), which is what the layout gives.
HFONT chineseFont(int characterHeight, const wchar_t* face) {
    return ::CreateFontW(-characterHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace

PaintTools::PaintTools()
    : skyBlue_(::CreateSolidBrush(kSkyBlue)),
      yellow_(::CreateSolidBrush(kYellow)),
      blue_(::CreateSolidBrush(kBlue)),
      tabFont_(chineseFont(12, L"SimSun")),
      deleteListFont_(chineseFont(14, L"")) {}

PaintTools::~PaintTools() {
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(skyBlue_), static_cast<HGDIOBJ>(yellow_), static_cast<HGDIOBJ>(blue_),
                      static_cast<HGDIOBJ>(tabFont_), static_cast<HGDIOBJ>(deleteListFont_)}) {
        if (o) ::DeleteObject(o);
    }
}

HFONT PaintTools::guiFont() { return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)); }

}  // namespace win32ui::style
