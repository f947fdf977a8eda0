#pragma once
// Small helpers that make the window's controls as the layout describes them: named after
// their layout name, placed, captioned and coloured.
#include <string_view>

#include <QString>

#include "ui/core/control.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace controls {

QString qt(std::string_view utf8);
// A caption or multi-line text as the toolkit holds it: line breaks are a bare LF there.
QString qtLines(std::string_view utf8WithCrLf);
std::string utf8(const QString& text);
std::string utf8WithCrLf(const QString& text);

// Sets the widget's object name to the control's layout name.
template <class W>
W* named(W* widget, Control control) {
    widget->setObjectName(qt(controlName(control)));
    return widget;
}

QLabel* label(QWidget* parent, Control control, std::string_view caption);
QLineEdit* editBox(QLineEdit* edit, Control control);
QPushButton* button(QWidget* parent, Control control, std::string_view caption);
QRadioButton* radioButton(QWidget* parent, Control control, std::string_view caption);

}  // namespace controls
