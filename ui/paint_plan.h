#pragma once

// The paint plan of the main window: what one paint draws, as a list of draw operations
// computed from the state without Qt.
//
// Use:
//   PaintView view;                     // a copy of the state the drawing reads:
//   FillFromDriverState(state, view);   //   configuration, applied values, click prompt
//   ... the page, hover and press, recording, macros, line counts, preview
//   std::vector<DrawOp> ops = ComposePaint(view, skin.layout, skinPainter.Measure());
//   skinPainter.Paint(qpainter, ops);   // SkinPainter (ui/skin_painter.h) executes it;
//                                       // skinPainter.Render(view, ...) does both at once
// The operations come in drawing order: the page picture, the page layer, the frame layer,
// the text layer. Later operations cover earlier ones. Coordinates are the window's client
// pixels (logical pixels on a high-DPI screen).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/device_config.h"
#include "config/driver_state.h"
#include "ui/pages.h"
#include "ui/skin_images.h"
#include "ui/skin_layout.h"

namespace kr450 {

inline constexpr int PAINT_MACRO_NAMES = 12;

// A copy of everything a paint reads, taken on the window thread just before the paint.
struct PaintView {
  int currentPage = PAGE_MAIN;
  int hoverMain = NO_CONTROL;
  int hoverLighting = NO_CONTROL;
  int hoverAdvanced = NO_CONTROL;
  bool buttonPressed = false;

  int currentConfig = 0;  // 1..5
  DeviceConfig config{};
  std::array<uint8_t, STAGE_COUNT> appliedDpiStage{};
  uint8_t appliedLedStatus = 0;

  bool driverRunning = true;
  int promptButton = 0;  // 1..6
  bool promptBlink = false;

  bool recording = false;
  uint8_t selectedRepeatEnabled = 0;  // repeatEnabled of the selected macro; 0 without one
  std::array<std::string, PAINT_MACRO_NAMES> macroNames;  // UTF-8; empty for absent macros
  int pressLineCount = 0;
  int releaseLineCount = 0;

  bool previewOff = false;  // from LightingPreview
  int previewStage = 0;
};

// Copies the driver's part of the view, the configuration in one consistent snapshot:
// currentConfig, config, appliedDpiStage, appliedLedStatus, driverRunning, promptButton and
// promptBlink.
void FillFromDriverState(const DriverState& state, PaintView& view);

// The extent of a caption in the caption font, in pixels.
struct TextExtent {
  int width = 0;
  int height = 0;
};

// Measures captions for their positions; SkinPainter gives one with the caption font.
class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual TextExtent Measure(std::string_view utf8) const = 0;
};

enum class SkinTable : uint8_t { Main, Lighting, Advanced };

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb CAPTION_WHITE{255, 255, 255};
inline constexpr Rgb CAPTION_YELLOW{255, 255, 0};
inline constexpr Rgb CAPTION_RED{255, 0, 0};

enum class DrawKind : uint8_t {
  Page,      // the whole picture `image` at (0, 0): the start of every paint
  CopyItem,  // the rectangle x, y, width, height of `image` to the same place
  CopyKnob,  // the rectangle 0, 0, width, height of `image` to x, y
  Caption,   // `text` in `colour` with its top-left corner at x, y (width, height: its extent)
};

enum class TextAlign : uint8_t { Left, Centre };

struct DrawOp {
  DrawKind kind = DrawKind::Page;
  SkinImage image = SkinImage::MainNormal;  // the source picture of Page and the copies
  SkinTable table = SkinTable::Main;        // the entry the operation draws
  int item = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  std::string text;
  Rgb colour{};
  TextAlign align = TextAlign::Centre;  // how x was found; x is final either way

  friend bool operator==(const DrawOp&, const DrawOp&) = default;
};

// The pictures of a page: any page number other than advanced and lighting is the main page.
struct PagePictures {
  SkinImage normal;
  SkinImage over;
  SkinImage down;
};
PagePictures PicturesOf(int page);

// The whole paint: the page's normal picture, then the three layers.
std::vector<DrawOp> ComposePaint(const PaintView& view, const SkinLayout& layout,
                                 const TextMeasure& measure);

// The layers, each appending to `ops`. Item numbers computed from the state that fall outside
// their table (or that name an entry of another role) are skipped.
void ComposePageLayer(const PaintView& view, const SkinLayout& layout, std::vector<DrawOp>& ops);
void ComposeFrameLayer(const PaintView& view, const SkinLayout& layout, std::vector<DrawOp>& ops);
void ComposeTextLayer(const PaintView& view, const SkinLayout& layout, const TextMeasure& measure,
                      std::vector<DrawOp>& ops);

// The lighting page's DPI caption for a stage step value: 0 3200, 2 1600, 3 2000, 4 2400,
// any other 1200.
std::string_view LightingDpiText(int stageValue);

}  // namespace kr450
