#pragma once
// The window's fixed colours and its two fonts of its own. None of the colours follows the
// system's colour settings; buttons alone keep the system's look.
#include <windows.h>

namespace win32ui::style {

inline constexpr COLORREF kSkyBlue = RGB(0, 136, 255);
inline constexpr COLORREF kYellow = RGB(255, 255, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);
inline constexpr COLORREF kMagenta = RGB(255, 0, 255);
inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kGrey = RGB(128, 128, 128);
inline constexpr COLORREF kPink = RGB(255, 168, 255);
// The fill of a row of 超级列表框_文件 whose last job failed; its text stays yellow.
inline constexpr COLORREF kFailedRowFill = RGB(192, 0, 0);

// The brushes and fonts one window paints with, made with it and freed with it.
class PaintTools {
public:
    PaintTools();
    ~PaintTools();
    PaintTools(const PaintTools&) = delete;
    PaintTools& operator=(const PaintTools&) = delete;

    HBRUSH skyBlue() const { return skyBlue_; }
    HBRUSH yellow() const { return yellow_; }
    HBRUSH blue() const { return blue_; }
    // Every control that names no font of its own.
    static HFONT guiFont();
    // The tab titles: "SimSun", character height 12, normal weight, GB2312.
    HFONT tabFont() const { return tabFont_; }
    // 编辑框1: character height 14, normal weight, GB2312, the face the system picks.
    HFONT deleteListFont() const { return deleteListFont_; }

private:
    HBRUSH skyBlue_;
    HBRUSH yellow_;
    HBRUSH blue_;
    HFONT tabFont_;
    HFONT deleteListFont_;
};

}  // namespace win32ui::style
