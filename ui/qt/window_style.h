#pragma once
// The window's fixed colours and fonts. None of the colours follows the system's colour
// settings; buttons alone keep the system's look.
#include <QColor>
#include <QFont>

class QWidget;

namespace style {

inline const QColor kSkyBlue(0, 136, 255);
inline const QColor kYellow(255, 255, 0);
inline const QColor kBlue(0, 0, 255);
inline const QColor kMagenta(255, 0, 255);
inline const QColor kRed(255, 0, 0);
inline const QColor kGrey(128, 128, 128);
inline const QColor kPink(255, 168, 255);
// The fill of a row of 超级列表框_文件 whose last job failed; its text stays yellow.
inline const QColor kFailedRowFill(192, 0, 0);

// The default GUI font every control without a font of its own uses: the platform's
// default face at 12 pixels, the height of the Chinese system GUI font.
QFont guiFont();
// The tab titles: "SimSun", 12 pixels, normal weight (the platform substitutes a face
// with Chinese glyphs where SimSun is missing).
QFont tabFont();
// 编辑框1: 14 pixels, normal weight, the default face.
QFont deleteListFont();

// Sky-blue fill with yellow text: the window, its labels, radio buttons and group boxes.
void paintWindow(QWidget* window);
// Blue text on yellow: the single-line edit boxes.
void paintEditBox(QWidget* edit);
// Magenta text on blue: 编辑框1.
void paintDeleteList(QWidget* edit);
// Yellow text on blue: the two list views.
void paintList(QWidget* list);

}  // namespace style
