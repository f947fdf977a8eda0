#pragma once
// The controls of the main window that the presenter and the views address, named as the
// window layout names them; controlName gives the same name as text (UTF-8), which is what
// a toolkit view uses to find its widget.
#include <string_view>

enum class Control {
    // Directly on the window.
    高级选择夹1,
    标签_状态,
    // Page "文件列表".
    标签1,
    编辑框_路径,
    按钮_浏览,
    按钮_添加,
    按钮_删除,
    按钮_清空,
    超级列表框_文件,
    // Page "文件更名".
    单选框_按后缀,
    分组框1,
    标签4,
    编辑框_后缀,
    单选框_按序号,
    分组框2,
    标签2,
    编辑框_前缀,
    标签5,
    编辑框_序号,
    按钮2,
    超级列表框_更名,
    // Page "删除文件".
    标签6,
    按钮_删除指定文件,
    编辑框1,
    // Page "软件说明".
    标签3,
};

std::string_view controlName(Control control);
