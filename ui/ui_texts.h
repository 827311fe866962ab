#pragma once

#include <string>
#include <string_view>

// Every text the program shows the user that is not in the skin files. The layers below the
// user interface report what happened (a status, a flag); the window and kr450-cli turn that
// into these texts. Qt-free, so kr450-cli uses the same table.
namespace kr450 {

// The status line of the main page.
inline constexpr std::string_view STATUS_RUNNING_TEXT = "驱动运行中...";
inline constexpr std::string_view STATUS_PROMPT_BEFORE_TEXT = "配置完成，请点击鼠标第[";
inline constexpr std::string_view STATUS_PROMPT_AFTER_TEXT = "]键运行驱动";

// Message boxes: the mouse is missing; a layout or macro file cannot be read; a skin value is
// not in the item format; a macro is full.
inline constexpr std::string_view NO_MOUSE_TEXT = "请插入【KR-450】USB鼠标";
inline constexpr std::string_view FILE_MISSING_TEXT = "找不到配置文件";
inline constexpr std::string_view INI_FORMAT_ERROR_TEXT = "加载ini错误！";
inline constexpr std::string_view MACRO_OVERFLOW_TEXT = "Overflow!!!";
// The event list's name of a key code that cannot be recorded.
inline constexpr std::string_view NOT_RECORDABLE_KEY_TEXT = "不可录制";

// The event list's context menu; the labels keep their trailing blanks.
inline constexpr std::string_view EVENT_MENU_ADD_BEFORE_TEXT = "选项前添加    ";
inline constexpr std::string_view EVENT_MENU_ADD_AFTER_TEXT = "选项后添加 ";
inline constexpr std::string_view EVENT_MENU_LEFT_TEXT = "左键   ";
inline constexpr std::string_view EVENT_MENU_RIGHT_TEXT = "右键";
inline constexpr std::string_view EVENT_MENU_MIDDLE_TEXT = "中键";
inline constexpr std::string_view EVENT_MENU_PRESS_TEXT = "按下  ";
inline constexpr std::string_view EVENT_MENU_RELEASE_TEXT = "释放";
inline constexpr std::string_view EVENT_MENU_MODIFY_DELAY_TEXT = "修改延迟";
inline constexpr std::string_view EVENT_MENU_DELETE_TEXT = "删除此项";

// The start of the message that lists the images a skin cannot be shown with.
inline constexpr std::string_view SKIN_IMAGE_PROBLEM_TEXT = "皮肤图片无法使用：";

// "驱动运行中..." while the driver runs; otherwise the click prompt, naming the button while
// the prompt blinks on and a blank while it blinks off.
inline std::string StatusLineText(bool driverRunning, bool promptBlink, int promptButton) {
  if (driverRunning) return std::string(STATUS_RUNNING_TEXT);
  const std::string button = promptBlink ? std::to_string(promptButton) : std::string(" ");
  return std::string(STATUS_PROMPT_BEFORE_TEXT) + button + std::string(STATUS_PROMPT_AFTER_TEXT);
}

}  // namespace kr450
