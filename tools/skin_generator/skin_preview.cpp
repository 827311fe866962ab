#include "skin_preview.h"

#include <QDir>
#include <QPainter>
#include <array>
#include <string>
#include <vector>

#include "config/ui_link.h"
#include "ui/skin_fonts.h"
#include "ui/skin_loader.h"
#include "ui/skin_roles.h"

namespace kr450::skin_art {
namespace {

class CollectingSink final : public MessageSink {
 public:
  void ShowMessage(std::string_view text) override { text_ += std::string(text) + "\n"; }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

const QColor WHITE(255, 255, 255);
const QColor YELLOW(255, 255, 0);
const QColor RED(255, 0, 0);
constexpr int DOTS_PER_METER_96_DPI = 3780;  // captions are sized for a 96 dpi screen
constexpr int NO_HOVER = 255;

QRect RectOf(const SkinItem& item) {
  return QRect(item.x, item.y, item.width, item.height);
}
QRect RectOf(const ControlRect& r) {
  return QRect(r.left, r.top, r.width(), r.height());
}

QImage ScreenImage(QSize size) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  image.setDotsPerMeterX(DOTS_PER_METER_96_DPI);
  image.setDotsPerMeterY(DOTS_PER_METER_96_DPI);
  return image;
}

// Composes one page the way the window paints it: rectangles copied from the state pictures
// onto the normal one, then the captions.
class Composer {
 public:
  Composer(const QImage& normal, const QImage& over, const QImage& down)
      : back_(normal.convertToFormat(QImage::Format_RGB32)), over_(over), down_(down) {
    back_.setDotsPerMeterX(DOTS_PER_METER_96_DPI);
    back_.setDotsPerMeterY(DOTS_PER_METER_96_DPI);
    painter_.begin(&back_);
    painter_.setFont(SkinCaptionFont());
  }
  ~Composer() {
    if (painter_.isActive()) painter_.end();
  }

  void CopyOver(const SkinItem& item) { Copy(item, over_); }
  void CopyDown(const SkinItem& item) { Copy(item, down_); }
  void Copy(const SkinItem& item, const QImage& from) {
    painter_.drawImage(RectOf(item), from, RectOf(item));
  }
  void DrawAt(const SkinItem& item, const QImage& picture) {
    painter_.drawImage(QPoint(item.x, item.y), picture, QRect(0, 0, item.width, item.height));
  }
  void Caption(const SkinItem& item, const QString& text, QColor colour, bool leftAligned) {
    const QFontMetrics metrics = painter_.fontMetrics();
    const int x =
        leftAligned ? item.x + 5 : item.x + (item.width - metrics.horizontalAdvance(text)) / 2;
    const int y = item.y + (item.height - metrics.height()) / 2;
    painter_.setPen(colour);
    painter_.drawText(x, y + metrics.ascent(), text);
  }
  void Caption(const SkinItem& item, QColor colour) {
    Caption(item, QString::fromStdString(item.text), colour, false);
  }
  QPainter& painter() { return painter_; }
  QImage Finish() {
    painter_.end();
    return back_;
  }

 private:
  QImage back_;
  const QImage& over_;
  const QImage& down_;
  QPainter painter_;
};

QImage CutToShape(const QImage& page, const QRegion& shape) {
  QImage out = ScreenImage(page.size());
  QPainter p(&out);
  p.setClipRegion(shape);
  p.drawImage(0, 0, page);
  return out;
}

// The macros of the previews; the last has a name of the longest length, 19 characters.
const QStringList DEMO_MACROS = {"连招 1", "快速换弹", "宏 3",
                                 "一键连招：闪现突进后接二连击再快速撤离"};

// A typical moment: configuration 1, stage 2 active, the driver running, slot 5 playing the
// macro with the long name.
struct DemoState {
  int currentConfig = 1;
  std::array<int, 6> buttons = {1, 2, 3, 5, 41 + 3, 6};
  std::array<int, 4> dpiStage = {1, 2, 4, 0};
  std::array<int, 4> stageEnabled = {1, 1, 1, 0};
  int dpiLevel = 1;
  int wheelStatus = 1;
};

void FrameLayer(Composer& c, const SkinLayout& layout, int tab, int hoverMain,
                const DemoState& state) {
  for (int i = 0; i <= main_item::LAST_FRAME; ++i) {
    const SkinItem& item = layout.main[static_cast<size_t>(i)];
    // The current configuration's frame stays down under the pointer; the tab does not.
    const bool down = i == state.currentConfig + 3 || (i == tab && i != hoverMain);
    if (down) {
      c.CopyDown(item);
    } else if (i == hoverMain) {
      c.CopyOver(item);
    }
  }
}

void FrameCaptions(Composer& c, const SkinLayout& layout) {
  for (int d = 0; d <= main_item::LAST_FRAME; ++d) {
    c.Caption(layout.main[static_cast<size_t>(d)], d == main_item::STATUS_LINE ? YELLOW : WHITE);
  }
}

QImage MainPage(const LoadedSkin& skin) {
  const SkinLayout& layout = skin.layout;
  const DemoState state;
  const int hover = main_item::Slot(2);
  Composer c(skin.images.Get(SkinImage::MainNormal), skin.images.Get(SkinImage::MainOver),
             skin.images.Get(SkinImage::MainDown));
  c.CopyOver(layout.main[static_cast<size_t>(hover)]);
  c.CopyDown(layout.main[static_cast<size_t>(main_item::FIRST_STAGE_MARKER + state.dpiLevel)]);
  for (int s = 0; s < 4; ++s) {
    const auto& place =
        layout.main[static_cast<size_t>(main_item::KnobPlace(s, state.dpiStage[s]))];
    c.DrawAt(place, skin.images.Get(SkinImage::DpiKnob));
    if (state.stageEnabled[s] == 1) {
      c.CopyDown(layout.main[static_cast<size_t>(main_item::FIRST_STAGE_ENABLE + s)]);
    }
  }
  c.CopyDown(layout.main[static_cast<size_t>(state.wheelStatus == 0 ? main_item::WHEEL_OFF
                                                                    : main_item::WHEEL_ON)]);
  FrameLayer(c, layout, main_item::TAB_MAIN, hover, state);
  FrameCaptions(c, layout);
  for (int d = main_item::LAST_FRAME + 1; d < main_item::CAPTION_COUNT; ++d) {
    const SkinItem& item = layout.main[static_cast<size_t>(d)];
    if (d >= main_item::Slot(1) && d <= main_item::Slot(6)) {
      const int code = state.buttons[static_cast<size_t>(d - main_item::FIRST_SLOT)];
      const QString name = code >= 41
                               ? DEMO_MACROS.value(code - 41)
                               : QString::fromStdString(std::string(FunctionName(layout, code)));
      c.Caption(item, name, d == hover ? RED : WHITE, true);
    } else {
      c.Caption(item, WHITE);
    }
  }
  return c.Finish();
}

void DrawChildControl(QPainter& p, const ControlRect& rect, const QStringList& lines,
                      int selected) {
  const QRect r = RectOf(rect);
  p.fillRect(r, Qt::black);
  p.save();
  p.setClipRect(r);  // a list box cuts what is wider than it
  const QFontMetrics metrics = p.fontMetrics();
  int y = r.top() + 2;
  for (int i = 0; i < lines.size() && y + metrics.height() <= r.bottom(); ++i) {
    if (i == selected)
      p.fillRect(QRect(r.left(), y, r.width(), metrics.height()), QColor(0, 120, 215));
    p.setPen(Qt::white);
    p.drawText(r.left() + 3, y + metrics.ascent(), lines[i]);
    y += metrics.height();
  }
  p.restore();
}

QImage AdvancedPage(const LoadedSkin& skin) {
  const SkinLayout& layout = skin.layout;
  const DemoState state;
  // The pointer over one pointer speed beside the chosen one: hover and choice side by side.
  const int hover = advanced_item::FIRST_POINTER_SPEED + 2;
  Composer c(skin.images.Get(SkinImage::AdvancedNormal), skin.images.Get(SkinImage::AdvancedOver),
             skin.images.Get(SkinImage::AdvancedDown));
  c.CopyOver(layout.advanced[static_cast<size_t>(hover)]);
  c.CopyDown(layout.advanced[advanced_item::RECORD]);  // recording
  c.CopyDown(layout.advanced[9]);                      // pointer speed 9
  c.CopyDown(layout.advanced[advanced_item::REPEAT]);  // the selected macro repeats
  FrameLayer(c, layout, main_item::TAB_ADVANCED, NO_HOVER, state);
  FrameCaptions(c, layout);
  for (int j = 0; j < static_cast<int>(ADVANCED_TABLE_SIZE); ++j) {
    SkinItem item = layout.advanced[static_cast<size_t>(j)];
    if (j == advanced_item::RECORD) item.text = "停止";
    if (j == advanced_item::PRESS_COUNT) item.text = "↓3";
    if (j == advanced_item::RELEASE_COUNT) item.text = "↑3";
    c.Caption(item, j == hover ? RED : WHITE);
  }
  QPainter& p = c.painter();
  DrawChildControl(p, layout.macroList, DEMO_MACROS, 0);
  DrawChildControl(
      p, layout.eventList,
      {"[↓]Q", "    30ms", "[↑]Q", "    45ms", "[↓]Left_Key", "    60ms", "[↑]Left_Key"}, -1);
  const QFontMetrics metrics = p.fontMetrics();
  for (const auto& [rect, text] : {std::pair{layout.nameField, QString("连招 1")},
                                   std::pair{layout.repeatCountField, QString("1")}}) {
    const QRect r = RectOf(rect);
    p.fillRect(r, Qt::black);
    p.setPen(Qt::white);
    p.drawText(r.left() + (r.width() - metrics.horizontalAdvance(text)) / 2,
               r.top() + (r.height() - metrics.height()) / 2 + metrics.ascent(), text);
  }
  return c.Finish();
}

QImage LightingPage(const LoadedSkin& skin) {
  const SkinLayout& layout = skin.layout;
  const DemoState state;
  const int hover = 2;
  Composer c(skin.images.Get(SkinImage::LightingNormal), skin.images.Get(SkinImage::LightingOver),
             skin.images.Get(SkinImage::LightingDown));
  c.CopyOver(layout.lighting[static_cast<size_t>(hover)]);
  c.CopyDown(layout.lighting[0]);  // lighting mode 0
  c.Copy(layout.lighting[lighting_item::PREVIEW], skin.images.Get(SkinImage::PreviewBlue));
  FrameLayer(c, layout, main_item::TAB_LIGHTING, NO_HOVER, state);
  FrameCaptions(c, layout);
  for (int j = 0; j <= 10; ++j) {
    SkinItem item = layout.lighting[static_cast<size_t>(j)];
    if (j == lighting_item::DPI_VALUE) item.text = "1600";
    c.Caption(item, WHITE);
  }
  return c.Finish();
}

QImage StatesSheet(const LoadedSkin& skin, SkinImage first) {
  const QRegion& shape = skin.shape.windowShape;
  const QSize half = QSize(skin.shape.maskWidth, skin.shape.maskHeight) / 2;
  QImage sheet = ScreenImage(QSize(half.width() * 3 + 40, half.height() + 30));
  sheet.fill(QColor(58, 58, 58));
  QPainter p(&sheet);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
  p.setFont(SkinCaptionFont());
  const char* names[] = {"normal", "over", "down"};
  for (int i = 0; i < 3; ++i) {
    const QImage page = skin.images.Get(static_cast<SkinImage>(static_cast<int>(first) + i));
    const QRect target(10 + i * (half.width() + 10), 24, half.width(), half.height());
    p.drawImage(target, CutToShape(page, shape));
    p.setPen(Qt::white);
    p.drawText(target.left(), 16, names[i]);
  }
  return sheet;
}

QImage MenuPicture(const LoadedSkin& skin, bool subMenu, int rows, int hover,
                   const QStringList& names) {
  const SkinImage normal = subMenu ? SkinImage::SubMenuNormal : SkinImage::MenuNormal;
  const QImage& mask = skin.images.Get(subMenu ? SkinImage::SubMenuMask : SkinImage::MenuMask);
  const int h = mask.height() / (subMenu ? SUBMENU_ROWS : MENU_ROWS);
  SkinItem row{0, (hover - 1) * h, mask.width(), h, {}};
  Composer c(skin.images.Get(normal),
             skin.images.Get(static_cast<SkinImage>(static_cast<int>(normal) + 1)),
             skin.images.Get(static_cast<SkinImage>(static_cast<int>(normal) + 2)));
  c.CopyOver(row);
  for (int i = 1; i <= rows; ++i) {
    c.Caption(SkinItem{0, (i - 1) * h, mask.width(), h, {}}, names[i - 1], i == hover ? RED : WHITE,
              false);
  }
  return c.Finish().copy(0, 0, mask.width(), rows * h + 1);
}

QStringList Names(const SkinLayout& layout, int first, int count) {
  QStringList names;
  for (int code = first; code < first + count; ++code) {
    names << QString::fromStdString(std::string(FunctionName(layout, code)));
  }
  return names;
}

QImage MenusSheet(const LoadedSkin& skin) {
  const SkinLayout& layout = skin.layout;
  const QImage menu = MenuPicture(skin, false, MENU_ROWS, 7, Names(layout, 1, 10));
  const int h = skin.images.Get(SkinImage::MenuMask).height() / MENU_ROWS;
  struct Sub {
    QImage picture;
    int offset;  // rows from the menu's top, as the menu places it
  };
  const Sub subs[] = {{MenuPicture(skin, true, 9, 2, Names(layout, 11, 9)), -1},
                      {MenuPicture(skin, true, 6, 2, Names(layout, 21, 6)), 2},
                      {MenuPicture(skin, true, 4, 2, DEMO_MACROS), 9 - 4},
                      {MenuPicture(skin, true, 10, 2, Names(layout, 31, 10)), 0}};
  const int top = 20 + h * 2;
  int width = 10 + menu.width() + 10;
  for (const Sub& sub : subs) width += sub.picture.width() + 4;
  QImage sheet = ScreenImage(QSize(width, top + 14 * h));
  sheet.fill(QColor(58, 58, 58));
  QPainter p(&sheet);
  p.drawImage(10, top, menu);
  // The submenu of row 7 shows where the menu opens it; the others beside it at their places.
  int x = 10 + menu.width();
  for (const Sub& sub : subs) {
    p.drawImage(x, top + sub.offset * h, sub.picture);
    x += sub.picture.width() + 4;
  }
  return sheet;
}

QImage WarningPicture(const LoadedSkin& skin) {
  const auto& warning = skin.layout.warning;
  Composer c(skin.images.Get(SkinImage::WarningNormal), skin.images.Get(SkinImage::WarningOver),
             skin.images.Get(SkinImage::WarningOver));
  c.CopyOver(warning[warning_item::CONFIRM]);
  for (const SkinItem& item : warning) c.Caption(item, RED);
  const QImage page = c.Finish();
  QImage sheet = ScreenImage(page.size() + QSize(40, 40));
  sheet.fill(QColor(58, 58, 58));
  QPainter p(&sheet);
  p.drawImage(20, 20, CutToShape(page, skin.warningShape));
  return sheet;
}

bool Save(const QImage& image, const QString& path, QString* error) {
  if (image.save(path, "PNG")) return true;
  *error = path + ": cannot be written";
  return false;
}

}  // namespace

bool WritePreviews(const QString& skinDirectory, const QString& previewDirectory, QString* error) {
  InstallSkinFontSubstitutes();
  CollectingSink sink;
  NullWindowLink window;
  LoadedSkin skin;
  if (!LoadSkin(skinDirectory.toStdString(), sink, window, &skin)) {
    *error = QString::fromStdString("the skin does not load:\n" + sink.text());
    return false;
  }
  if (!sink.text().empty()) {
    *error = QString::fromStdString(sink.text());
    return false;
  }
  QDir().mkpath(previewDirectory);
  const QString dir = previewDirectory + "/";
  const QRegion& shape = skin.shape.windowShape;
  return Save(CutToShape(MainPage(skin), shape), dir + "page_main.png", error) &&
         Save(CutToShape(AdvancedPage(skin), shape), dir + "page_advanced.png", error) &&
         Save(CutToShape(LightingPage(skin), shape), dir + "page_lighting.png", error) &&
         Save(StatesSheet(skin, SkinImage::MainNormal), dir + "states_main.png", error) &&
         Save(StatesSheet(skin, SkinImage::AdvancedNormal), dir + "states_advanced.png", error) &&
         Save(StatesSheet(skin, SkinImage::LightingNormal), dir + "states_lighting.png", error) &&
         Save(MenusSheet(skin), dir + "menus.png", error) &&
         Save(WarningPicture(skin), dir + "warning.png", error);
}

}  // namespace kr450::skin_art
