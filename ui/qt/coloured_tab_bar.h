#pragma once
// The tab strip of 高级选择夹1, drawn by hand in the window's colours: sky-blue tabs with
// pink outlines; yellow titles, red for the selected tab and the tab under the pointer,
// grey while the control is disabled.
#include <QColor>
#include <QTabBar>

class ColouredTabBar : public QTabBar {
    Q_OBJECT
public:
    static constexpr int kHeight = 20;

    explicit ColouredTabBar(QWidget* parent = nullptr);

    int hoveredIndex() const { return hovered_; }
    QColor titleColour(int index) const;

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void setHovered(int index);

    int hovered_ = -1;
};
