#include "ui/core/control.h"

std::string_view controlName(Control control) {
    switch (control) {
    case Control::高级选择夹1: return "高级选择夹1";
    case Control::标签_状态: return "标签_状态";
    case Control::标签1: return "标签1";
    case Control::编辑框_路径: return "编辑框_路径";
    case Control::按钮_浏览: return "按钮_浏览";
    case Control::按钮_添加: return "按钮_添加";
    case Control::按钮_删除: return "按钮_删除";
    case Control::按钮_清空: return "按钮_清空";
    case Control::超级列表框_文件: return "超级列表框_文件";
    case Control::单选框_按后缀: return "单选框_按后缀";
    case Control::分组框1: return "分组框1";
    case Control::标签4: return "标签4";
    case Control::编辑框_后缀: return "编辑框_后缀";
    case Control::单选框_按序号: return "单选框_按序号";
    case Control::分组框2: return "分组框2";
    case Control::标签2: return "标签2";
    case Control::编辑框_前缀: return "编辑框_前缀";
    case Control::标签5: return "标签5";
    case Control::编辑框_序号: return "编辑框_序号";
    case Control::按钮2: return "按钮2";
    case Control::超级列表框_更名: return "超级列表框_更名";
    case Control::标签6: return "标签6";
    case Control::按钮_删除指定文件: return "按钮_删除指定文件";
    case Control::编辑框1: return "编辑框1";
    case Control::标签3: return "标签3";
    }
    return {};
}
