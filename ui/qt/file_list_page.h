#pragma once
// Page 1, "文件列表": the archive list and its buttons.
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class ReportList;

class FileListPage : public QWidget {
    Q_OBJECT
public:
    explicit FileListPage(QWidget* parent = nullptr);

    QLabel* directoryLabel;    // 标签1
    QLineEdit* pathEdit;       // 编辑框_路径
    QPushButton* browseButton; // 按钮_浏览
    QPushButton* addButton;    // 按钮_添加
    QPushButton* removeButton; // 按钮_删除
    QPushButton* clearButton;  // 按钮_清空
    ReportList* list;          // 超级列表框_文件
};
