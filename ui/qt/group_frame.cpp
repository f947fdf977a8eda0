#include "ui/qt/group_frame.h"

#include <QPainter>

void GroupFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int top = fontMetrics().height() / 2;
    const QRect outer(0, top, width() - 2, height() - top - 2);
    painter.setPen(QColor(160, 160, 160));
    painter.drawRect(outer);
    painter.setPen(QColor(255, 255, 255));
    painter.drawRect(outer.translated(1, 1));
}
