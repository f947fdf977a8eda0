#include "ui/qt/controls.h"

#include <limits>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ui/qt/window_style.h"

namespace controls {

QString qt(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

QString qtLines(std::string_view utf8WithCrLf) {
    QString s = qt(utf8WithCrLf);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

std::string utf8(const QString& text) { return text.toStdString(); }

std::string utf8WithCrLf(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QChar(u'\n'), QStringLiteral("\r\n"));
    return s.toStdString();
}

QLabel* label(QWidget* parent, Control control, std::string_view caption) {
    auto* l = named(new QLabel(qt(caption), parent), control);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    l->setWordWrap(false);
    return l;
}

QLineEdit* editBox(QLineEdit* edit, Control control) {
    named(edit, control);
    edit->setMaxLength(std::numeric_limits<int>::max());
    style::paintEditBox(edit);
    return edit;
}

QPushButton* button(QWidget* parent, Control control, std::string_view caption) {
    auto* b = named(new QPushButton(qt(caption), parent), control);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QRadioButton* radioButton(QWidget* parent, Control control, std::string_view caption) {
    auto* r = named(new QRadioButton(qt(caption), parent), control);
    r->setAutoExclusive(true);
    return r;
}

}  // namespace controls
