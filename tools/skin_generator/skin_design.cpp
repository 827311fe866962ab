#include "skin_design.h"

#include "mouse_art.h"
#include "ui/skin_images.h"
#include "ui/skin_roles.h"

namespace kr450::skin_art {
namespace {

// The slider shows its places in rising DPI: 1200, 1600, 2000, 2400, 3200 are the step
// values 1, 2, 3, 4, 0.
constexpr int SLIDER_VALUE_AT_COLUMN[5] = {1, 2, 3, 4, 0};

Control Make(const char* role, QRect rect, const char* caption, Look look, int param = 0) {
  return {QString::fromUtf8(role), rect, QString::fromUtf8(caption), look, param, {}};
}

QPolygon WindowOutline() {
  // Chamfered corners and a raised crown over the page tabs.
  return QPolygon({{0, 30},
                   {20, 10},
                   {250, 10},
                   {266, 0},
                   {534, 0},
                   {550, 10},
                   {780, 10},
                   {800, 30},
                   {800, 600},
                   {760, 640},
                   {40, 640},
                   {0, 600}});
}

void DescribeFrame(SkinDesign& d) {
  auto& m = d.main;
  m[main_item::SAVE] = Make("save", {462, 580, 90, 32}, "保存", Look::Button);
  m[main_item::STATUS_LINE] = Make("status", {24, 580, 420, 32}, "驱动运行中...", Look::Status);
  m[main_item::DRIVER_MODE] = Make("revert_hide", {662, 580, 100, 32}, "还原并隐藏", Look::Button);
  m[main_item::APPLY] = Make("apply", {562, 580, 90, 32}, "应用", Look::Button);
  const char* configs[] = {"配置 1", "配置 2", "配置 3", "配置 4", "配置 5"};
  for (int n = 1; n <= 5; ++n) {
    m[main_item::Config(n)] =
        Make("config", {22, 104 + 40 * (n - 1), 120, 34}, configs[n - 1], Look::Config, n);
  }
  m[main_item::TAB_MAIN] = Make("tab_main", {282, 16, 78, 36}, "按键设置", Look::Tab);
  m[main_item::TAB_ADVANCED] = Make("tab_advanced", {361, 16, 78, 36}, "宏编程", Look::Tab);
  m[main_item::TAB_LIGHTING] = Make("tab_lighting", {440, 16, 78, 36}, "灯光效果", Look::Tab);
  m[main_item::MINIMISE] = Make("minimise", {712, 18, 30, 26}, "", Look::Minimise);
  m[main_item::CLOSE] = Make("close", {746, 18, 30, 26}, "", Look::Close);
  m[main_item::IMPORT] = Make("import", {22, 336, 120, 32}, "导入配置", Look::Button);
  m[main_item::EXPORT] = Make("export", {22, 376, 120, 32}, "导出配置", Look::Button);
  d.emblemCentre = QPointF(82, 504);
  d.emblemRadius = 36;
  d.emblemText = "KR-450";
  m[main_item::RESET] = Make("reset", {22, 416, 120, 32}, "恢复默认", Look::Reset);
  for (int i : {main_item::SAVE, main_item::IMPORT, main_item::EXPORT}) {
    m[static_cast<size_t>(i)].mainPageOnly = true;
  }
}

void DescribeButtonsPanel(SkinDesign& d) {
  auto& m = d.main;
  // The mouse on the left with a numbered callout for each button, the six slots in one column
  // on the right: a slot holds a macro name of 19 characters.
  d.mainMouse = QRect(244, 97, 134, 236);
  for (int button = 1; button <= 6; ++button) {
    m[main_item::Slot(button)] =
        Make("slot", {484, 106 + 38 * (button - 1), 292, 28}, "", Look::Slot, button);
    m[main_item::FIRST_PROMPT + button - 1] =
        Make("prompt", MouseButtonRect(d.mainMouse, button), "", Look::Prompt, button);
    // Left of the mouse for the buttons on its left, right of it for the others, level with
    // the button; the wheel's callout sits above the right button's.
    const QPoint anchor = MouseButtonAnchor(d.mainMouse, button);
    const bool left = button == 1 || button == 4 || button == 5;
    d.callouts[static_cast<size_t>(button - 1)] =
        QPoint(left ? d.mainMouse.left() - 36 : d.mainMouse.right() + 36,
               button == 3 ? anchor.y() - 25 : anchor.y());
  }
  m[23] = Make("title_buttons", {186, 76, 90, 22}, "按键功能分配", Look::Label);
  m[36] = Make("hint_buttons", {484, 76, 292, 22}, "点击功能名称即可更改", Look::Label);
}

void DescribeDpiPanel(SkinDesign& d) {
  auto& m = d.main;
  m[24] = Make("title_dpi", {186, 352, 80, 22}, "DPI 灵敏度", Look::Label);
  m[34] = Make("head_current", {166, 380, 36, 20}, "当前", Look::Label);
  m[35] = Make("head_colour", {202, 380, 36, 20}, "颜色", Look::Label);
  m[25] = Make("head_stage", {264, 380, 40, 20}, "档位", Look::Label);
  m[26] = Make("head_enable", {346, 380, 40, 20}, "启用", Look::Label);
  const char* stages[] = {"档位 1", "档位 2", "档位 3", "档位 4"};
  for (int s = 0; s < 4; ++s) {
    const int y = 406 + 38 * s;
    m[main_item::FIRST_STAGE_MARKER + s] =
        Make("marker", {174, y + 5, 20, 20}, "", Look::Marker, s);
    m[main_item::FIRST_DECORATION + s] = Make("colour", {211, y + 6, 18, 18}, "", Look::Swatch, s);
    m[main_item::FIRST_STAGE_SELECT + s] =
        Make("stage", {244, y, 80, 30}, "", Look::StageSelect, s);
    m[main_item::FIRST_STAGE_SELECT + s].paintedText = QString::fromUtf8(stages[s]);
    m[main_item::FIRST_STAGE_ENABLE + s] = Make("enable", {336, y, 60, 30}, "", Look::Switch, s);
    for (int column = 0; column < 5; ++column) {
      const int value = SLIDER_VALUE_AT_COLUMN[column];
      m[main_item::KnobPlace(s, value)] =
          Make("dpi", {412 + 50 * column, y, 50, 30}, "", Look::KnobPlace, s);
    }
  }
  m[31] = Make("head_wheel", {710, 380, 40, 20}, "滚轮", Look::Label);
  m[main_item::WHEEL_OFF] = Make("wheel_off", {684, 406, 92, 30}, "关闭", Look::Button);
  m[main_item::WHEEL_ON] = Make("wheel_on", {684, 444, 92, 30}, "开启", Look::Button);
  d.knob = QSize(50, 30);
}

void DescribeLightingPage(SkinDesign& d) {
  auto& l = d.lighting;
  const char* modes[] = {"慢速循环", "快速循环", "常亮", "关闭灯光"};
  for (int mode = 0; mode < 4; ++mode) {
    l[lighting_item::FIRST_MODE + mode] =
        Make("mode", {492, 108 + 48 * mode, 284, 40}, modes[mode], Look::Button);
  }
  l[lighting_item::HOVER_ONLY] = Make("legend", {492, 340, 284, 78}, "", Look::Info);
  l[5] = Make("title_modes", {494, 78, 60, 22}, "灯光模式", Look::Label);
  l[6] = Make("title_preview", {182, 78, 60, 22}, "灯光预览", Look::Label);
  l[7] = Make("title_colours", {494, 312, 60, 22}, "档位颜色", Look::Label);
  l[8] = Make("title_dpi", {492, 438, 76, 26}, "当前 DPI", Look::Label);
  l[lighting_item::DPI_VALUE] = Make("dpi_value", {576, 434, 120, 34}, "1200", Look::Value);
  l[10] = Make("hint", {492, 496, 284, 24}, "点击「应用」后灯光设置生效", Look::Label);
  l[lighting_item::PREVIEW] = Make("preview", {180, 106, 280, 434}, "", Look::Preview);
  d.previewMouse = QRect(220, 145, 200, 352);
}

void DescribeAdvancedPage(SkinDesign& d) {
  auto& a = d.advanced;
  a[advanced_item::IMPORT_MACROS] = Make("import", {180, 488, 86, 30}, "导入宏", Look::Button);
  a[advanced_item::EXPORT_MACROS] = Make("export", {274, 488, 86, 30}, "导出宏", Look::Button);
  a[advanced_item::ADD_MACRO] = Make("add", {180, 448, 86, 30}, "新建宏", Look::Button);
  a[advanced_item::DELETE_MACRO] = Make("delete", {274, 448, 86, 30}, "删除宏", Look::Button);
  a[advanced_item::RECORD] = Make("record", {380, 448, 220, 30}, "录制", Look::Button);
  a[advanced_item::SAVE_MACROS] = Make("save", {620, 488, 156, 30}, "保存宏", Look::Button);
  a[advanced_item::REPEAT] = Make("repeat", {620, 176, 156, 30}, "循环播放", Look::Check);
  a[advanced_item::MACRO_MODE] = Make("mode", {620, 262, 156, 30}, "按住连发", Look::Check);
  const char* speeds[] = {"低速", "中速", "高速"};
  for (int i = 0; i < 3; ++i) {
    a[advanced_item::FIRST_POINTER_SPEED + i] =
        Make("speed", {620 + 53 * i, 348, 50, 30}, speeds[i], Look::Button);
  }
  a[advanced_item::HOVER_ONLY] =
      Make("hint", {380, 488, 220, 30}, "右键单击事件可插入或修改", Look::Info);
  a[12] = Make("title_macros", {182, 78, 50, 22}, "宏列表", Look::Label);
  a[13] = Make("title_events", {382, 78, 50, 22}, "宏内容", Look::Label);
  a[advanced_item::PRESS_COUNT] = Make("presses", {480, 78, 56, 22}, "↓0", Look::Label);
  a[advanced_item::RELEASE_COUNT] = Make("releases", {540, 78, 56, 22}, "↑0", Look::Label);
  a[16] = Make("title_repeat", {620, 142, 62, 24}, "循环次数", Look::Label);
  a[17] = Make("title_name", {622, 78, 50, 22}, "宏名称", Look::Label);
  a[18] = Make("title_mode", {622, 230, 62, 22}, "播放模式", Look::Label);
  a[19] = Make("title_speed", {622, 318, 62, 22}, "指针速度", Look::Label);
  d.nameField = QRect(620, 106, 156, 24);
  d.repeatCountField = QRect(690, 142, 86, 24);
  d.macroList = QRect(180, 106, 180, 330);
  d.eventList = QRect(380, 106, 220, 330);
}

void DescribeMenusAndWarning(SkinDesign& d) {
  d.menu = {150, 26, MENU_ROWS};
  // Wide enough for a macro name of 19 characters.
  d.subMenu = {280, 26, SUBMENU_ROWS};
  d.warning = QSize(360, 170);
  d.warningOutline = QPolygon({{0, 14}, {14, 0}, {360, 0}, {360, 156}, {346, 170}, {0, 170}});
  d.warningItems[warning_item::CONFIRM] =
      Make("confirm", {70, 116, 96, 32}, "继续修改", Look::Button, DARK_BUTTON);
  d.warningItems[warning_item::CANCEL] =
      Make("cancel", {194, 116, 96, 32}, "取消", Look::Button, DARK_BUTTON);
  d.warningItems[warning_item::MESSAGE] =
      Make("message", {20, 66, 320, 30}, "其他按键都不是左键，确定要修改吗？", Look::Label);
}

void NameFunctions(SkinDesign& d) {
  // Codes no menu offers still get a name, so that an edited file never shows a blank slot.
  const char* names[FUNCTION_NAME_COUNT] = {
      "",          "左键",     "右键",     "中键",     "后退键",     "前进键",   "DPI 循环",
      "鼠标功能",  "多媒体",   "宏命令",   "快捷功能", "双击",       "三连击",   "连发键",
      "滚轮向上",  "滚轮向下", "禁用按键", "DPI 升档", "DPI 降档",   "灯光开关", "无功能",
      "播放/暂停", "下一曲",   "上一曲",   "音量增大", "音量减小",   "静音",     "无功能",
      "无功能",    "无功能",   "无功能",   "复制",     "粘贴",       "全选",     "撤销",
      "关闭窗口",  "我的电脑", "锁定电脑", "计算器",   "命令提示符", "切换配置", "宏 1",
      "宏 2",      "宏 3",     "宏 4",     "宏 5",     "宏 6",       "宏 7",     "宏 8",
      "宏 9",      "宏 10",    "宏 11",    "宏 12",    "无功能",     "无功能"};
  for (size_t code = 0; code < FUNCTION_NAME_COUNT; ++code) {
    d.functionNames[code] = QString::fromUtf8(names[code]);
  }
}

SkinDesign Describe() {
  SkinDesign d;
  d.window = QSize(800, 640);
  d.windowOutline = WindowOutline();
  DescribeFrame(d);
  DescribeButtonsPanel(d);
  DescribeDpiPanel(d);
  DescribeLightingPage(d);
  DescribeAdvancedPage(d);
  DescribeMenusAndWarning(d);
  NameFunctions(d);
  return d;
}

}  // namespace

QColor StageColour(int stage) {
  switch (stage) {
    case 0:
      return QColor(40, 120, 255);  // blue
    case 1:
      return QColor(255, 90, 190);  // pink
    case 2:
      return QColor(240, 30, 40);  // red
    default:
      return QColor(150, 60, 230);  // purple
  }
}

const SkinDesign& DefaultSkinDesign() {
  static const SkinDesign design = Describe();
  return design;
}

}  // namespace kr450::skin_art
