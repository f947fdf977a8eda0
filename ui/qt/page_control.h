#pragma once
// 高级选择夹1: a tab strip over a sky-blue pane holding one page at a time. The pages sit
// at a fixed offset inside the control, so that a page's controls are placed by their
// position measured from the control's own top-left corner.
#include <QList>
#include <QPoint>
#include <QWidget>

#include "ui/qt/coloured_tab_bar.h"

class PageControl : public QWidget {
    Q_OBJECT
public:
    // Where a page's top-left corner lies inside the control.
    static constexpr QPoint kPageOrigin{2, ColouredTabBar::kHeight + 2};

    explicit PageControl(QWidget* parent = nullptr);

    void addPage(QWidget* page, const QString& title);
    int count() const { return static_cast<int>(pages_.size()); }
    int currentIndex() const;
    void setCurrentIndex(int index);
    QWidget* page(int index) const { return pages_.value(index); }
    ColouredTabBar* tabBar() const { return tabBar_; }

    // Gives a control of a page its position measured from the control's top-left corner.
    static void place(QWidget* control, int left, int top, int width, int height);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showPage(int index);

    ColouredTabBar* tabBar_;
    QList<QWidget*> pages_;
};
