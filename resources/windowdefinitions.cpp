#include "resources/windowdefinitions.h"

#include <array>
#include <cstring>

namespace tarnelo {
namespace {

using enum ControlKind;

constexpr std::array<ControlDefinition, 22> launcherControls{{
    {"按钮1", PushButton, {8, 169, 104, 25}, "点亮QQ空间"},
    {"按钮2", PushButton, {248, 169, 104, 25}, "点亮QQ邮箱"},
    {"按钮3", PushButton, {8, 209, 104, 25}, "点亮WEBQQ"},
    {"按钮4", PushButton, {128, 169, 104, 25}, "点亮手机QQ"},
    {"按钮8", PushButton, {128, 409, 104, 25}, "点亮DNF7级非原创"},
    {"按钮7", PushButton, {248, 369, 104, 25}, "点亮QQ西游非原创"},
    {"按钮6", PushButton, {248, 249, 104, 25}, "点亮搜搜百科"},
    {"按钮5", PushButton, {128, 249, 104, 25}, "点亮搜搜个人中心"},
    {"按钮9", PushButton, {8, 249, 104, 25}, "点亮QQ相册"},
    {"按钮10", PushButton, {128, 289, 104, 25}, "点亮QQ家园"},
    {"按钮11", PushButton, {8, 289, 104, 25}, "点亮QQ书签"},
    {"按钮12", PushButton, {248, 289, 104, 25}, "点亮财付通"},
    {"标签1", GradientLabel, {-16, 448, 384, 40}, "点亮图标，让你的QQ更闪亮"},
    {"标签2", GradientLabel, {0, 128, 360, 32}, "标签"},
    {"按钮13", PushButton, {8, 328, 104, 24}, "点亮丝路英雄"},
    {"按钮14", PushButton, {128, 328, 104, 24}, "点亮小熊梦工厂"},
    {"按钮15", PushButton, {248, 328, 104, 24}, "点亮3366小游戏"},
    {"按钮16", PushButton, {8, 368, 104, 24}, "点亮企鹅宝贝"},
    {"按钮17", PushButton, {128, 368, 104, 24}, "点亮游戏人生"},
    {"按钮18", PushButton, {248, 208, 104, 24}, "点亮QQ宝贝"},
    {"按钮19", PushButton, {8, 408, 104, 24}, "点亮QQ播客非原创"},
    {"按钮20", PushButton, {128, 208, 104, 24}, "点亮QQ朋友"},
}};

constexpr std::array<ControlDefinition, 5> browserControls{{
    {"网页", WebBrowserBox, {0, 0, 704, 560}, ""},
    {"公告", NoticeLabel, {8, 568, 696, 24}, "如果点亮失败,尝试重试即可！"},
    {"按钮1", PushButton, {568, 632, 104, 24}, "点亮DNF7级"},
    {"按钮2", PushButton, {448, 632, 104, 24}, "点亮QQ西游6级"},
    {"按钮3", PushButton, {304, 632, 120, 25}, "点亮QQ播客"},
}};

} // namespace

const WindowDefinition &launcherWindowDefinition()
{
    static const WindowDefinition window{"Tarnelo", 363, 517, true, launcherControls};
    return window;
}

const WindowDefinition &browserWindowDefinition()
{
    static const WindowDefinition window{"如果点亮图标失败，多尝试几次即可！", 716, 636, false, browserControls};
    return window;
}

const ControlDefinition *findControl(const WindowDefinition &window, const char *name)
{
    for (const ControlDefinition &control : window.controls) {
        if (std::strcmp(control.name, name) == 0)
            return &control;
    }
    return nullptr;
}

} // namespace tarnelo
