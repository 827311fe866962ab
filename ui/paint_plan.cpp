#include "ui/paint_plan.h"

#include <algorithm>
#include <limits>
#include <span>

#include "ui/skin_roles.h"
#include "ui/ui_texts.h"

namespace kr450 {
namespace {

constexpr int MAIN_PAGE_CAPTIONS = main_item::CAPTION_COUNT;  // 0..36
constexpr int LIGHTING_PAGE_CAPTIONS = 28;  // the frame's 0..16, then lighting items 0..10
constexpr int FIRST_PAGE_CAPTION = main_item::LAST_FRAME + 1;
constexpr int SLOT_CAPTION_INDENT = 5;

std::span<const SkinItem> TableOf(const SkinLayout& layout, SkinTable table) {
  switch (table) {
    case SkinTable::Lighting:
      return layout.lighting;
    case SkinTable::Advanced:
      return layout.advanced;
    case SkinTable::Main:
      break;
  }
  return layout.main;
}

// The entry `index` of a table, or nothing when the index is outside it.
const SkinItem* ItemAt(const SkinLayout& layout, SkinTable table, int index) {
  const std::span<const SkinItem> items = TableOf(layout, table);
  if (index < 0 || static_cast<size_t>(index) >= items.size()) return nullptr;
  return &items[static_cast<size_t>(index)];
}

int Saturate(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                              std::numeric_limits<int32_t>::max()));
}

// Copies item `index` of `table` from `image` to the same place; an index outside the table
// or an empty entry draws nothing.
void CopyItem(const SkinLayout& layout, SkinTable table, int index, SkinImage image,
              std::vector<DrawOp>& ops) {
  const SkinItem* item = ItemAt(layout, table, index);
  if (item == nullptr || item->empty()) return;
  DrawOp op;
  op.kind = DrawKind::CopyItem;
  op.image = image;
  op.table = table;
  op.item = index;
  op.x = item->x;
  op.y = item->y;
  op.width = item->width;
  op.height = item->height;
  ops.push_back(std::move(op));
}

void CopyKnob(const SkinLayout& layout, int index, std::vector<DrawOp>& ops) {
  const SkinItem* item = ItemAt(layout, SkinTable::Main, index);
  if (item == nullptr || item->empty()) return;
  DrawOp op;
  op.kind = DrawKind::CopyKnob;
  op.image = SkinImage::DpiKnob;
  op.table = SkinTable::Main;
  op.item = index;
  op.x = item->x;
  op.y = item->y;
  op.width = item->width;
  op.height = item->height;
  ops.push_back(std::move(op));
}

bool InRange(int value, int first, int last) {
  return value >= first && value <= last;
}

void ComposeMainPage(const PaintView& view, const SkinLayout& layout, std::vector<DrawOp>& ops) {
  const PagePictures pictures = PicturesOf(PAGE_MAIN);
  const DeviceConfig& config = view.config;
  if (InRange(config.dpiLevel, 0, STAGE_COUNT - 1)) {
    CopyItem(layout, SkinTable::Main, main_item::FIRST_STAGE_MARKER + config.dpiLevel,
             pictures.down, ops);
  }
  for (int stage = 0; stage < STAGE_COUNT; ++stage) {
    const int value = config.dpiStage[static_cast<size_t>(stage)];
    // A step value above the last would name a knob place of the next stage.
    if (value <= MAX_STAGE_VALUE) CopyKnob(layout, main_item::KnobPlace(stage, value), ops);
    if (config.dpiStageEnabled[static_cast<size_t>(stage)] == 1) {
      CopyItem(layout, SkinTable::Main, main_item::FIRST_STAGE_ENABLE + stage, pictures.down, ops);
    }
  }
  CopyItem(layout, SkinTable::Main,
           config.wheelStatus == 0 ? main_item::WHEEL_OFF : main_item::WHEEL_ON, pictures.down,
           ops);
  if (!view.driverRunning && InRange(view.promptButton, 1, BUTTON_COUNT)) {
    CopyItem(layout, SkinTable::Main, main_item::FIRST_PROMPT - 1 + view.promptButton,
             view.promptBlink ? pictures.over : pictures.down, ops);
  }
}

void ComposeAdvancedPage(const PaintView& view, const SkinLayout& layout,
                         std::vector<DrawOp>& ops) {
  const SkinImage down = PicturesOf(PAGE_ADVANCED).down;
  if (view.recording) CopyItem(layout, SkinTable::Advanced, advanced_item::RECORD, down, ops);
  const int speed = view.config.pointerSpeed;
  if (InRange(speed, advanced_item::FIRST_POINTER_SPEED, advanced_item::FIRST_POINTER_SPEED + 2)) {
    CopyItem(layout, SkinTable::Advanced, speed, down, ops);
  }
  if (view.config.macroMode != 0) {
    CopyItem(layout, SkinTable::Advanced, advanced_item::MACRO_MODE, down, ops);
  }
  if (view.selectedRepeatEnabled == 1) {
    CopyItem(layout, SkinTable::Advanced, advanced_item::REPEAT, down, ops);
  }
}

void ComposeLightingPage(const PaintView& view, const SkinLayout& layout,
                         std::vector<DrawOp>& ops) {
  const PagePictures pictures = PicturesOf(PAGE_LIGHTING);
  const int mode = view.config.ledStatus;
  if (InRange(mode, 0, LED_OFF)) CopyItem(layout, SkinTable::Lighting, mode, pictures.down, ops);
  // Stages 1..4 show blue, pink (the normal picture stays), red and purple; gray when off.
  const int preview = lighting_item::PREVIEW;
  if (view.previewOff) {
    CopyItem(layout, SkinTable::Lighting, preview, SkinImage::PreviewGray, ops);
  } else if (view.previewStage == 0) {
    CopyItem(layout, SkinTable::Lighting, preview, SkinImage::PreviewBlue, ops);
  } else if (view.previewStage == 2) {
    CopyItem(layout, SkinTable::Lighting, preview, pictures.over, ops);
  } else if (view.previewStage == 3) {
    CopyItem(layout, SkinTable::Lighting, preview, pictures.down, ops);
  }
}

std::string StatusLineCaption(const PaintView& view) {
  return StatusLineText(view.driverRunning, view.promptBlink, view.promptButton);
}

// The caption of a button slot: the function's name, a macro's own name for codes from 41 on.
std::string SlotCaption(const PaintView& view, const SkinLayout& layout, int slot) {
  const FunctionCode code = view.config.buttons[static_cast<size_t>(slot)];
  constexpr FunctionCode firstMacro = 41;
  if (code < firstMacro) return std::string(FunctionName(layout, code));
  if (code - firstMacro >= PAINT_MACRO_NAMES) return {};  // codes 53, 54 and beyond
  return view.macroNames[static_cast<size_t>(code - firstMacro)];
}

void AddCaption(const SkinItem& item, SkinTable table, int index, std::string text, Rgb colour,
                TextAlign align, const TextMeasure& measure, std::vector<DrawOp>& ops) {
  if (text.empty() || item.empty()) return;
  const TextExtent extent = measure.Measure(text);
  DrawOp op;
  op.kind = DrawKind::Caption;
  op.table = table;
  op.item = index;
  // Integer halves round toward zero, also where the caption is wider than its item.
  op.x = align == TextAlign::Left ? Saturate(int64_t{item.x} + SLOT_CAPTION_INDENT)
                                  : Saturate(item.x + (int64_t{item.width} - extent.width) / 2);
  op.y = Saturate(item.y + (int64_t{item.height} - extent.height) / 2);
  op.width = extent.width;
  op.height = extent.height;
  op.text = std::move(text);
  op.colour = colour;
  op.align = align;
  ops.push_back(std::move(op));
}

void AddMainCaption(const PaintView& view, const SkinLayout& layout, int d,
                    const TextMeasure& measure, std::vector<DrawOp>& ops) {
  const SkinItem& item = layout.main[static_cast<size_t>(d)];
  const bool isSlot = view.currentPage != PAGE_ADVANCED && view.currentPage != PAGE_LIGHTING &&
                      InRange(d, main_item::FIRST_SLOT, main_item::FIRST_SLOT + BUTTON_COUNT - 1);
  if (isSlot) {
    AddCaption(item, SkinTable::Main, d, SlotCaption(view, layout, d - main_item::FIRST_SLOT),
               d == view.hoverMain ? CAPTION_RED : CAPTION_WHITE, TextAlign::Left, measure, ops);
    return;
  }
  const bool isStatus = d == main_item::STATUS_LINE;
  AddCaption(item, SkinTable::Main, d, isStatus ? StatusLineCaption(view) : item.text,
             isStatus ? CAPTION_YELLOW : CAPTION_WHITE, TextAlign::Centre, measure, ops);
}

void AddLightingCaption(const PaintView& view, const SkinLayout& layout, int j,
                        const TextMeasure& measure, std::vector<DrawOp>& ops) {
  const SkinItem& item = layout.lighting[static_cast<size_t>(j)];
  std::string text = item.text;
  if (j == lighting_item::DPI_VALUE) {
    const int level = view.config.dpiLevel;
    text = InRange(level, 0, STAGE_COUNT - 1)
               ? std::string(LightingDpiText(view.appliedDpiStage[static_cast<size_t>(level)]))
               : std::string();
  }
  AddCaption(item, SkinTable::Lighting, j, std::move(text), CAPTION_WHITE, TextAlign::Centre,
             measure, ops);
}

void AddAdvancedCaption(const PaintView& view, const SkinLayout& layout, int j,
                        const TextMeasure& measure, std::vector<DrawOp>& ops) {
  const SkinItem& item = layout.advanced[static_cast<size_t>(j)];
  std::string text = item.text;
  if (j == advanced_item::RECORD) text = view.recording ? "停止" : "录制";
  if (j == advanced_item::PRESS_COUNT) text = "↓" + std::to_string(view.pressLineCount);
  if (j == advanced_item::RELEASE_COUNT) text = "↑" + std::to_string(view.releaseLineCount);
  AddCaption(item, SkinTable::Advanced, j, std::move(text),
             j == view.hoverAdvanced ? CAPTION_RED : CAPTION_WHITE, TextAlign::Centre, measure,
             ops);
}

}  // namespace

PagePictures PicturesOf(int page) {
  switch (page) {
    case PAGE_LIGHTING:
      return {SkinImage::LightingNormal, SkinImage::LightingOver, SkinImage::LightingDown};
    case PAGE_ADVANCED:
      return {SkinImage::AdvancedNormal, SkinImage::AdvancedOver, SkinImage::AdvancedDown};
    default:
      return {SkinImage::MainNormal, SkinImage::MainOver, SkinImage::MainDown};
  }
}

void FillFromDriverState(const DriverState& state, PaintView& view) {
  const ConfigState snapshot = state.Snapshot();
  view.currentConfig = snapshot.currentConfig;
  view.config = snapshot.config;
  view.appliedDpiStage = snapshot.appliedDpiStage;
  view.appliedLedStatus = snapshot.appliedLedStatus;
  view.driverRunning = state.driverRunning.load();
  view.promptButton = state.promptButton.load();
  view.promptBlink = state.promptBlink.load();
}

std::string_view LightingDpiText(int stageValue) {
  switch (stageValue) {
    case 0:
      return "3200";
    case 2:
      return "1600";
    case 3:
      return "2000";
    case 4:
      return "2400";
    default:
      return "1200";
  }
}

std::vector<DrawOp> ComposePaint(const PaintView& view, const SkinLayout& layout,
                                 const TextMeasure& measure) {
  std::vector<DrawOp> ops;
  ops.reserve(96);
  DrawOp page;
  page.kind = DrawKind::Page;
  page.image = PicturesOf(view.currentPage).normal;
  ops.push_back(page);
  ComposePageLayer(view, layout, ops);
  ComposeFrameLayer(view, layout, ops);
  ComposeTextLayer(view, layout, measure, ops);
  return ops;
}

void ComposePageLayer(const PaintView& view, const SkinLayout& layout, std::vector<DrawOp>& ops) {
  const PagePictures pictures = PicturesOf(view.currentPage);
  SkinTable table = SkinTable::Main;
  int hover = view.hoverMain;
  if (view.currentPage == PAGE_LIGHTING) {
    table = SkinTable::Lighting;
    hover = view.hoverLighting;
  } else if (view.currentPage == PAGE_ADVANCED) {
    table = SkinTable::Advanced;
    hover = view.hoverAdvanced;
  }
  if (hover != NO_CONTROL) {
    CopyItem(layout, table, hover, view.buttonPressed ? pictures.down : pictures.over, ops);
  }
  switch (table) {
    case SkinTable::Main:
      ComposeMainPage(view, layout, ops);
      break;
    case SkinTable::Advanced:
      ComposeAdvancedPage(view, layout, ops);
      break;
    case SkinTable::Lighting:
      ComposeLightingPage(view, layout, ops);
      break;
  }
}

void ComposeFrameLayer(const PaintView& view, const SkinLayout& layout, std::vector<DrawOp>& ops) {
  const PagePictures pictures = PicturesOf(view.currentPage);
  int tab = main_item::TAB_MAIN;
  if (view.currentPage == PAGE_ADVANCED) tab = main_item::TAB_ADVANCED;
  if (view.currentPage == PAGE_LIGHTING) tab = main_item::TAB_LIGHTING;
  // Without a configuration number (0 when the file names none) no item is marked: the
  // entry before the first configuration is the apply control.
  const int configItem = InRange(view.currentConfig, 1, USER_CONFIG_COUNT)
                             ? main_item::Config(view.currentConfig)
                             : -1;
  for (int i = 0; i <= main_item::LAST_FRAME; ++i) {
    // The current configuration stays down under the pointer; the page's tab shows the hover.
    if (i == configItem || (i == tab && i != view.hoverMain)) {
      CopyItem(layout, SkinTable::Main, i, pictures.down, ops);
    } else if (i == view.hoverMain) {
      CopyItem(layout, SkinTable::Main, i, view.buttonPressed ? pictures.down : pictures.over, ops);
    }
  }
}

void ComposeTextLayer(const PaintView& view, const SkinLayout& layout, const TextMeasure& measure,
                      std::vector<DrawOp>& ops) {
  const int count = view.currentPage == PAGE_LIGHTING ? LIGHTING_PAGE_CAPTIONS : MAIN_PAGE_CAPTIONS;
  for (int d = 0; d < count; ++d) {
    if (d < FIRST_PAGE_CAPTION ||
        (view.currentPage != PAGE_LIGHTING && view.currentPage != PAGE_ADVANCED)) {
      AddMainCaption(view, layout, d, measure, ops);
    } else if (view.currentPage == PAGE_LIGHTING) {
      AddLightingCaption(view, layout, d - FIRST_PAGE_CAPTION, measure, ops);
    } else {
      AddAdvancedCaption(view, layout, d - FIRST_PAGE_CAPTION, measure, ops);
    }
  }
}

}  // namespace kr450
