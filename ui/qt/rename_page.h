#pragma once
// Page 2, "文件更名": the two rename modes, their inputs and the list of renamed archives.
#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class ReportList;
class DigitEdit;

class RenamePage : public QWidget {
    Q_OBJECT
public:
    explicit RenamePage(QWidget* parent = nullptr);

    QRadioButton* byExtension;  // 单选框_按后缀
    QGroupBox* extensionGroup;  // 分组框1
    QLabel* extensionLabel;     // 标签4
    QLineEdit* extensionEdit;   // 编辑框_后缀
    QRadioButton* byNumber;     // 单选框_按序号
    QGroupBox* numberGroup;     // 分组框2
    QLabel* prefixLabel;        // 标签2
    QLineEdit* prefixEdit;      // 编辑框_前缀
    QLabel* startLabel;         // 标签5
    DigitEdit* startEdit;       // 编辑框_序号
    QPushButton* renameButton;  // 按钮2
    ReportList* list;           // 超级列表框_更名
};
