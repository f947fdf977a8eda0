#include "ui/qt/file_list_page.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/core/window_texts.h"
#include "ui/qt/controls.h"
#include "ui/qt/page_control.h"
#include "ui/qt/report_list.h"

using controls::named;

FileListPage::FileListPage(QWidget* parent) : QWidget(parent) {
    // Made in Tab order.
    addButton = controls::button(this, Control::按钮_添加, texts::kAddButton);
    clearButton = controls::button(this, Control::按钮_清空, texts::kClearButton);
    removeButton = controls::button(this, Control::按钮_删除, texts::kRemoveButton);
    directoryLabel = controls::label(this, Control::标签1, texts::kDirectoryLabel);
    pathEdit = controls::editBox(new QLineEdit(this), Control::编辑框_路径);
    browseButton = controls::button(this, Control::按钮_浏览, texts::kBrowseButton);
    // The path gives way to "结果", so that every row's outcome is in sight in the fixed
    // window with a vertical scroll bar shown; the cells' tooltips hold the rest.
    list = named(new ReportList({40, 260, 210}, this), Control::超级列表框_文件);

    PageControl::place(directoryLabel, 10, 33, 32, 20);
    PageControl::place(pathEdit, 47, 33, 260, 20);
    PageControl::place(browseButton, 312, 33, 55, 20);
    PageControl::place(addButton, 372, 33, 55, 20);
    PageControl::place(removeButton, 432, 33, 55, 20);
    PageControl::place(clearButton, 495, 33, 55, 20);
    PageControl::place(list, 10, 61, 540, 310);

    removeButton->setEnabled(false);

    setTabOrder(addButton, clearButton);
    setTabOrder(clearButton, removeButton);
    setTabOrder(removeButton, pathEdit);
    setTabOrder(pathEdit, browseButton);
    setTabOrder(browseButton, list);
}
