#pragma once
// 编辑框_序号: of the characters the user types, only "0" to "9" and "-" go in; control
// keys (Backspace, Delete, the arrows, shortcuts such as paste) work as usual, and text
// that is pasted or set by the program is taken whole.
#include <QLineEdit>

class DigitEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DigitEdit(QWidget* parent = nullptr) : QLineEdit(parent) {}

    static bool isAccepted(QChar c) { return (c >= u'0' && c <= u'9') || c == u'-'; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Characters committed by an input method are typed characters too.
    void inputMethodEvent(QInputMethodEvent* event) override;
};
