#include "ui/qt/coloured_tab_bar.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/qt/window_style.h"

ColouredTabBar::ColouredTabBar(QWidget* parent) : QTabBar(parent) {
    setFont(style::tabFont());
    setFocusPolicy(Qt::NoFocus);
    setDrawBase(false);
    setExpanding(false);
    setUsesScrollButtons(false);
    setMouseTracking(true);
}

QColor ColouredTabBar::titleColour(int index) const {
    if (!isEnabled()) return style::kGrey;
    return index == currentIndex() || index == hovered_ ? style::kRed : style::kYellow;
}

QSize ColouredTabBar::tabSizeHint(int index) const {
    return QSize(fontMetrics().horizontalAdvance(tabText(index)) + 16, kHeight);
}

void ColouredTabBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), style::kSkyBlue);
    for (int i = 0; i < count(); ++i) {
        QRect r = tabRect(i);
        // The selected tab stands 2 pixels taller and opens into the page below it.
        if (i != currentIndex()) r.adjust(0, 2, 0, 0);
        painter.fillRect(r, style::kSkyBlue);
        painter.setPen(style::kPink);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.drawLine(r.topRight(), r.bottomRight());
        if (i != currentIndex()) painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.setPen(titleColour(i));
        painter.drawText(r, Qt::AlignCenter, tabText(i));
    }
}

void ColouredTabBar::mouseMoveEvent(QMouseEvent* event) {
    setHovered(tabAt(event->position().toPoint()));
    QTabBar::mouseMoveEvent(event);
}

void ColouredTabBar::leaveEvent(QEvent* event) {
    setHovered(-1);
    QTabBar::leaveEvent(event);
}

void ColouredTabBar::setHovered(int index) {
    if (index == hovered_) return;
    hovered_ = index;
    update();
}
