#include "ui/qt/zel_menu.h"

#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <algorithm>

#include "ui/skin_fonts.h"
#include "ui/zel_menu_layout.h"

namespace kr450 {
namespace {

constexpr Rgb MENU_BACKGROUND{0, 120, 153};

QColor ColourOf(const Rgb& rgb) {
  return QColor(rgb.red, rgb.green, rgb.blue);
}

// The item's text as it shows: the ampersand of a mnemonic goes, a doubled one stays single.
std::string ShownText(QString text) {
  text.replace(QLatin1String("&&"), QString(QChar(1)));
  text.remove(QLatin1Char('&'));
  text.replace(QChar(1), QLatin1Char('&'));
  return text.toStdString();
}

// The owner drawing: Qt asks the style for each item's size and picture, and this style
// answers with the menu's own look instead of the desktop's.
class ZelMenuStyle final : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    switch (metric) {
      case PM_MenuPanelWidth:
      case PM_MenuHMargin:
      case PM_MenuVMargin:
      case PM_MenuDesktopFrameWidth:
        return 0;
      default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
  }

  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override {
    if (type != CT_MenuItem) return QProxyStyle::sizeFromContents(type, option, size, widget);
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    const ZelRect measured = MeasureZelItem(item != nullptr ? ShownText(item->text) : "");
    // 8 pixels a character is narrower than a CJK glyph: the item widens until its text,
    // 10 pixels in, shows whole (blanks at its end need no room).
    const int textWidth =
        item != nullptr
            ? ZEL_TEXT_INDENT * 2 + item->fontMetrics.horizontalAdvance(
                                        QString::fromStdString(ShownText(item->text)).trimmed())
            : 0;
    return QSize(std::max(measured.width, textWidth), measured.height);
  }

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element == PE_PanelMenu || element == PE_FrameMenu) {
      painter->fillRect(option->rect, ColourOf(MENU_BACKGROUND));
      return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
  }

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element == CE_MenuEmptyArea) {
      painter->fillRect(option->rect, ColourOf(MENU_BACKGROUND));
      return;
    }
    if (element != CE_MenuItem || item == nullptr) {
      QProxyStyle::drawControl(element, option, painter, widget);
      return;
    }
    const QRect r = item->rect;
    const bool highlighted = (item->state & State_Selected) && (item->state & State_Enabled);
    const ZelRect rect{r.x(), r.y(), r.width(), r.height()};
    for (const ZelOp& op : ZelItemOps(rect, ShownText(item->text), highlighted)) {
      const QRect area(op.rect.x, op.rect.y, op.rect.width, op.rect.height);
      switch (op.kind) {
        case ZelOpKind::Fill:
          painter->fillRect(area, ColourOf(op.colour));
          break;
        case ZelOpKind::Frame:
          painter->setPen(ColourOf(op.colour));
          painter->setBrush(Qt::NoBrush);
          painter->drawRect(area.adjusted(0, 0, -1, -1));
          break;
        case ZelOpKind::Line:
          painter->fillRect(QRect(op.rect.x, op.rect.y, op.rect.width, 1), ColourOf(op.colour));
          break;
        case ZelOpKind::Text:
          painter->setPen(ColourOf(op.colour));
          painter->drawText(
              area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine,
              item->text);
          break;
      }
    }
  }
};

QStyle* SharedZelStyle() {
  static ZelMenuStyle* style = new ZelMenuStyle;  // lives as long as the program
  return style;
}

}  // namespace

CZelMenu::CZelMenu(QWidget* parent) : QMenu(parent) {
  setFont(SkinCaptionFont());
  setStyle(SharedZelStyle());
}

CZelMenu* CZelMenu::addZelMenu(const QString& title) {
  auto* sub = new CZelMenu(this);
  sub->setTitle(title);
  addMenu(sub);
  return sub;
}

}  // namespace kr450
