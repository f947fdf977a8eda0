#include "ui/qt/rename_page.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ui/core/window_texts.h"
#include "ui/qt/controls.h"
#include "ui/qt/digit_edit.h"
#include "ui/qt/group_frame.h"
#include "ui/qt/page_control.h"
#include "ui/qt/report_list.h"

using controls::named;

RenamePage::RenamePage(QWidget* parent) : QWidget(parent) {
    // Made in Tab order; the group boxes' children are placed inside their group.
    numberGroup = named(new GroupFrame(this), Control::分组框2);
    prefixLabel = controls::label(numberGroup, Control::标签2, texts::kPrefixLabel);
    prefixEdit = controls::editBox(new QLineEdit(numberGroup), Control::编辑框_前缀);
    startLabel = controls::label(numberGroup, Control::标签5, texts::kStartNumberLabel);
    startEdit = static_cast<DigitEdit*>(controls::editBox(new DigitEdit(numberGroup), Control::编辑框_序号));
    byNumber = controls::radioButton(this, Control::单选框_按序号, texts::kByNumberRadio);
    byExtension = controls::radioButton(this, Control::单选框_按后缀, texts::kByExtensionRadio);
    renameButton = controls::button(this, Control::按钮2, texts::kRenameButton);
    extensionGroup = named(new GroupFrame(this), Control::分组框1);
    extensionLabel = controls::label(extensionGroup, Control::标签4, texts::kExtensionLabel);
    extensionEdit = controls::editBox(new QLineEdit(extensionGroup), Control::编辑框_后缀);
    list = named(new ReportList({40, 800}, this), Control::超级列表框_更名);

    PageControl::place(byExtension, 16, 39, 56, 20);
    PageControl::place(extensionGroup, 78, 25, 112, 40);
    extensionLabel->setGeometry(8, 13, 34, 20);
    extensionEdit->setGeometry(49, 13, 55, 20);
    PageControl::place(byNumber, 196, 39, 56, 20);
    PageControl::place(numberGroup, 258, 25, 222, 40);
    prefixLabel->setGeometry(8, 13, 34, 20);
    prefixEdit->setGeometry(46, 13, 40, 20);
    startLabel->setGeometry(90, 13, 60, 20);
    startEdit->setGeometry(154, 13, 60, 20);
    PageControl::place(renameButton, 494, 39, 56, 20);
    PageControl::place(list, 10, 72, 540, 297);

    byExtension->setChecked(true);
    startLabel->setEnabled(false);
    startEdit->setEnabled(false);

    setTabOrder(prefixEdit, startEdit);
    setTabOrder(startEdit, byNumber);
    setTabOrder(byNumber, byExtension);
    setTabOrder(byExtension, renameButton);
    setTabOrder(renameButton, extensionEdit);
    setTabOrder(extensionEdit, list);
}
