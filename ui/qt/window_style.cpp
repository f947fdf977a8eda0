#include "ui/qt/window_style.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace style {
namespace {

// Sets a colour for the enabled states only; a disabled control keeps a grey text.
void setEnabledColour(QPalette& palette, QPalette::ColorRole role, const QColor& colour) {
    palette.setColor(QPalette::Active, role, colour);
    palette.setColor(QPalette::Inactive, role, colour);
}

void paintBox(QWidget* widget, const QColor& text, const QColor& fill) {
    QPalette p = widget->palette();
    setEnabledColour(p, QPalette::Text, text);
    p.setColor(QPalette::Disabled, QPalette::Text, kGrey);
    p.setColor(QPalette::Base, fill);
    widget->setPalette(p);
}

}  // namespace

QFont guiFont() {
    QFont font = QApplication::font();
    font.setPixelSize(12);
    font.setWeight(QFont::Normal);
    return font;
}

QFont tabFont() {
    QFont font(QStringLiteral("SimSun"));
    font.setPixelSize(12);
    font.setWeight(QFont::Normal);
    return font;
}

QFont deleteListFont() {
    QFont font = guiFont();
    font.setPixelSize(14);
    font.setWeight(QFont::Normal);
    return font;
}

void paintWindow(QWidget* window) {
    QPalette p = window->palette();
    p.setColor(QPalette::Window, kSkyBlue);
    setEnabledColour(p, QPalette::WindowText, kYellow);
    p.setColor(QPalette::Disabled, QPalette::WindowText, kGrey);
    window->setPalette(p);
    window->setAutoFillBackground(true);
}

void paintEditBox(QWidget* edit) { paintBox(edit, kBlue, kYellow); }

void paintDeleteList(QWidget* edit) {
    paintBox(edit, kMagenta, kBlue);
    // A multi-line box keeps its selection when it loses the focus; drawn in the box's own
    // colours there, the selection shows only while the box has the focus.
    QPalette p = edit->palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, kBlue);
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, kMagenta);
    edit->setPalette(p);
}

void paintList(QWidget* list) { paintBox(list, kYellow, kBlue); }

}  // namespace style
