#pragma once
// A group box without a caption, drawn as the classic etched frame (a grey line with a
// white one beside it) so that it stays visible on the sky-blue page; its top line sits
// where a caption's middle would be.
#include <QGroupBox>

class GroupFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit GroupFrame(QWidget* parent = nullptr) : QGroupBox(parent) { setFocusPolicy(Qt::NoFocus); }

protected:
    void paintEvent(QPaintEvent* event) override;
};
