#include "ui/qt/page_control.h"

#include <QPainter>

#include "ui/qt/window_style.h"

PageControl::PageControl(QWidget* parent) : QWidget(parent), tabBar_(new ColouredTabBar(this)) {
    setFocusPolicy(Qt::NoFocus);
    connect(tabBar_, &QTabBar::currentChanged, this, &PageControl::showPage);
}

void PageControl::addPage(QWidget* page, const QString& title) {
    page->setParent(this);
    page->setGeometry(QRect(kPageOrigin, size() - QSize(2 * kPageOrigin.x(), kPageOrigin.y() + 2)));
    pages_.append(page);
    tabBar_->addTab(title);
    showPage(tabBar_->currentIndex());
}

int PageControl::currentIndex() const { return tabBar_->currentIndex(); }

void PageControl::setCurrentIndex(int index) { tabBar_->setCurrentIndex(index); }

void PageControl::place(QWidget* control, int left, int top, int width, int height) {
    control->setGeometry(left - kPageOrigin.x(), top - kPageOrigin.y(), width, height);
}

void PageControl::showPage(int index) {
    for (int i = 0; i < pages_.size(); ++i) pages_[i]->setVisible(i == index);
}

void PageControl::resizeEvent(QResizeEvent*) {
    tabBar_->setGeometry(0, 0, width(), ColouredTabBar::kHeight);
    for (QWidget* page : pages_) page->setGeometry(QRect(kPageOrigin, size() - QSize(2 * kPageOrigin.x(), kPageOrigin.y() + 2)));
}

void PageControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), style::kSkyBlue);
    // The pane's outline, open under the selected tab.
    QRect pane(0, ColouredTabBar::kHeight, width() - 1, height() - ColouredTabBar::kHeight - 1);
    painter.setPen(style::kPink);
    painter.drawRect(pane);
    QRect selected = tabBar_->tabRect(tabBar_->currentIndex());
    if (selected.isValid()) {
        painter.setPen(style::kSkyBlue);
        painter.drawLine(selected.left() + 1, pane.top(), selected.right() - 1, pane.top());
    }
}
