#pragma once
// Page 3, "删除文件": the delete list and the button that starts the clean job.
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class DeletePage : public QWidget {
    Q_OBJECT
public:
    explicit DeletePage(QWidget* parent = nullptr);

    QPushButton* cleanButton;   // 按钮_删除指定文件
    QLabel* listLabel;          // 标签6
    QPlainTextEdit* deleteList; // 编辑框1
};
