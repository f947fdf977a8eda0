#include "ui/qt/delete_page.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/core/window_texts.h"
#include "ui/qt/controls.h"
#include "ui/qt/page_control.h"
#include "ui/qt/window_style.h"

using controls::named;

DeletePage::DeletePage(QWidget* parent) : QWidget(parent) {
    cleanButton = controls::button(this, Control::按钮_删除指定文件, texts::kCleanButton);
    listLabel = controls::label(this, Control::标签6, texts::kDeleteListLabel);
    deleteList = named(new QPlainTextEdit(this), Control::编辑框1);

    PageControl::place(listLabel, 10, 30, 168, 20);
    PageControl::place(cleanButton, 496, 30, 56, 20);
    PageControl::place(deleteList, 10, 55, 540, 315);

    deleteList->setFont(style::deleteListFont());
    style::paintDeleteList(deleteList);
    deleteList->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    deleteList->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    deleteList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    deleteList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    deleteList->setTabChangesFocus(true);
    deleteList->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    setTabOrder(cleanButton, deleteList);
}
