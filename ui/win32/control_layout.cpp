#include "ui/win32/control_layout.h"

#include <array>
#include <stdexcept>

#include "ui/core/window_texts.h"

namespace win32ui {
namespace {

using K = ControlKind;
using C = Control;

const ControlSpec kLayout[] = {
    {C::标签_状态, K::Label, 0, {}, 13, 398, 243, 18, {}},
    // "文件列表"
    {C::按钮_添加, K::Button, 1, {}, 372, 33, 55, 20, texts::kAddButton},
    {C::按钮_清空, K::Button, 1, {}, 495, 33, 55, 20, texts::kClearButton},
    {C::按钮_删除, K::Button, 1, {}, 432, 33, 55, 20, texts::kRemoveButton, true},
    {C::标签1, K::Label, 1, {}, 10, 33, 32, 20, texts::kDirectoryLabel},
    {C::编辑框_路径, K::EditBox, 1, {}, 47, 33, 260, 20, {}},
    {C::按钮_浏览, K::Button, 1, {}, 312, 33, 55, 20, texts::kBrowseButton},
    {C::超级列表框_文件, K::ListView, 1, {}, 10, 61, 540, 310, {}},
    // "文件更名"
    {C::分组框2, K::GroupBox, 2, {}, 258, 25, 222, 40, {}},
    {C::标签2, K::Label, 2, C::分组框2, 8, 13, 34, 20, texts::kPrefixLabel},
    {C::编辑框_前缀, K::EditBox, 2, C::分组框2, 46, 13, 40, 20, {}},
    {C::标签5, K::Label, 2, C::分组框2, 90, 13, 60, 20, texts::kStartNumberLabel, true},
    {C::编辑框_序号, K::EditBox, 2, C::分组框2, 154, 13, 60, 20, {}, true},
    {C::单选框_按序号, K::RadioBox, 2, {}, 196, 39, 56, 20, texts::kByNumberRadio},
    {C::单选框_按后缀, K::RadioBox, 2, {}, 16, 39, 56, 20, texts::kByExtensionRadio},
    {C::按钮2, K::Button, 2, {}, 494, 39, 56, 20, texts::kRenameButton},
    {C::分组框1, K::GroupBox, 2, {}, 78, 25, 112, 40, {}},
    {C::标签4, K::Label, 2, C::分组框1, 8, 13, 34, 20, texts::kExtensionLabel},
    {C::编辑框_后缀, K::EditBox, 2, C::分组框1, 49, 13, 55, 20, {}},
    {C::超级列表框_更名, K::ListView, 2, {}, 10, 72, 540, 297, {}},
    // "删除文件"
    {C::按钮_删除指定文件, K::Button, 3, {}, 496, 30, 56, 20, texts::kCleanButton},
    {C::标签6, K::Label, 3, {}, 10, 30, 168, 20, texts::kDeleteListLabel},
    {C::编辑框1, K::MultiLineEdit, 3, {}, 10, 55, 540, 315, {}},
    // "软件说明"
    {C::标签3, K::Label, 4, {}, 9, 33, 540, 335, texts::kHelpText},
};

}  // namespace

std::span<const ControlSpec> controlLayout() { return kLayout; }

const ControlSpec& specOf(Control control) {
    for (const ControlSpec& spec : kLayout) {
        if (spec.control == control) return spec;
    }
    throw std::invalid_argument("no layout row for " + std::string(controlName(control)));
}

std::string_view pageTitle(int index) {
    static constexpr std::array<std::string_view, kPageCount> kTitles{texts::kPageFileList, texts::kPageRename,
                                                                      texts::kPageDelete, texts::kPageHelp};
    return kTitles.at(static_cast<std::size_t>(index));
}

}  // namespace win32ui
