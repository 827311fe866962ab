#include "skin_writer.h"

#include <QFile>
#include <QImage>
#include <functional>
#include <span>

#include "skin_art.h"
#include "ui/skin_images.h"

namespace kr450::skin_art {
namespace {

const char* const HEADER =
    "; KR-450 default skin. Made by tools/skin_generator from one description of the layout;\n"
    "; edit that description and regenerate instead of editing this file.\n";

// "role,x,y,width,height,caption,0": the item format, exactly six commas.
QString ItemLine(int key, const QString& role, const QRect& rect, const QString& caption) {
  return QString("%1=%2,%3,%4,%5,%6,%7,0\n")
      .arg(key)
      .arg(role.isEmpty() ? QString("unused") : role)
      .arg(rect.x())
      .arg(rect.y())
      .arg(rect.width())
      .arg(rect.height())
      .arg(caption);
}

QString Table(std::span<const Control> table) {
  QString text = "[BUTTONPOS]\n";
  for (size_t i = 0; i < table.size(); ++i) {
    text += ItemLine(static_cast<int>(i), table[i].role, table[i].rect, table[i].caption);
  }
  return text;
}

bool WriteText(const QString& path, const QString& text, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0) {
    *error = path + ": " + file.errorString();
    return false;
  }
  return true;
}

bool WriteImage(const QString& path, const QImage& image, int quality, QString* error) {
  // The bitmap mask has two colours: one bit per pixel keeps it small and exact.
  const bool bitmap = path.endsWith(".bmp");
  const QImage stored =
      bitmap ? image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither) : image;
  if (!stored.save(path, bitmap ? "BMP" : "JPG", quality)) {
    *error = path + ": cannot be written";
    return false;
  }
  return true;
}

QImage ImageFor(const SkinDesign& d, SkinImage id) {
  switch (id) {
    case SkinImage::MainNormal:
      return PaintPage(d, Page::Main, State::Normal, std::nullopt);
    case SkinImage::MainOver:
      return PaintPage(d, Page::Main, State::Over, std::nullopt);
    case SkinImage::MainDown:
      return PaintPage(d, Page::Main, State::Down, std::nullopt);
    case SkinImage::AdvancedNormal:
      return PaintPage(d, Page::Advanced, State::Normal, std::nullopt);
    case SkinImage::AdvancedOver:
      return PaintPage(d, Page::Advanced, State::Over, std::nullopt);
    case SkinImage::AdvancedDown:
      return PaintPage(d, Page::Advanced, State::Down, std::nullopt);
    // The lighting page's three states show the stage colours pink, red and purple in the
    // preview; the gray and blue pictures are only read for the preview area.
    case SkinImage::LightingNormal:
      return PaintPage(d, Page::Lighting, State::Normal, StageColour(1));
    case SkinImage::LightingOver:
      return PaintPage(d, Page::Lighting, State::Over, StageColour(2));
    case SkinImage::LightingDown:
      return PaintPage(d, Page::Lighting, State::Down, StageColour(3));
    case SkinImage::PreviewGray:
      return PaintPage(d, Page::Lighting, State::Normal, std::nullopt);
    case SkinImage::PreviewBlue:
      return PaintPage(d, Page::Lighting, State::Normal, StageColour(0));
    case SkinImage::DpiKnob:
      return PaintKnob(d);
    case SkinImage::MainMask:
      return PaintWindowMask(d);
    case SkinImage::MenuNormal:
      return PaintMenu(d.menu, State::Normal, true);
    case SkinImage::MenuOver:
      return PaintMenu(d.menu, State::Over, true);
    case SkinImage::MenuDown:
      return PaintMenu(d.menu, State::Down, true);
    case SkinImage::MenuMask:
      return PaintMenuMask(d.menu);
    case SkinImage::SubMenuNormal:
      return PaintMenu(d.subMenu, State::Normal, false);
    case SkinImage::SubMenuOver:
      return PaintMenu(d.subMenu, State::Over, false);
    case SkinImage::SubMenuDown:
      return PaintMenu(d.subMenu, State::Down, false);
    case SkinImage::SubMenuMask:
      return PaintMenuMask(d.subMenu);
    case SkinImage::WarningNormal:
      return PaintWarning(d, State::Normal);
    case SkinImage::WarningOver:
      return PaintWarning(d, State::Over);
    case SkinImage::WarningMask:
      return PaintWarningMask(d);
  }
  return {};
}

}  // namespace

QString MainLayoutText(const SkinDesign& d) {
  QString text = HEADER + Table(d.main) + "\n[FUN_STRING]\n";
  for (size_t code = 1; code < d.functionNames.size(); ++code) {
    text += QString("%1=%2\n").arg(code).arg(d.functionNames[code]);
  }
  return text;
}

QString LightingLayoutText(const SkinDesign& d) {
  return HEADER + Table(d.lighting);
}

QString AdvancedLayoutText(const SkinDesign& d) {
  return HEADER + Table(d.advanced) + "\n[EDIT]\n" +
         ItemLine(EDIT_REPEAT_COUNT_KEY, "repeat_count", d.repeatCountField, "") +
         ItemLine(EDIT_NAME_KEY, "name", d.nameField, "") + "\n[MACRODISPLAY]\n" +
         ItemLine(LIST_MACROS_KEY, "macros", d.macroList, "") +
         ItemLine(LIST_EVENTS_KEY, "events", d.eventList, "");
}

QString WarningLayoutText(const SkinDesign& d) {
  return HEADER + Table(d.warningItems);
}

bool WriteSkin(const SkinDesign& d, const QString& directory, QString* error) {
  const QString dir = directory + "/";
  const std::pair<std::string_view, QString> layouts[] = {
      {SKIN_MAIN_FILE, MainLayoutText(d)},
      {SKIN_LIGHTING_FILE, LightingLayoutText(d)},
      {SKIN_ADVANCED_FILE, AdvancedLayoutText(d)},
      {SKIN_WARNING_FILE, WarningLayoutText(d)}};
  for (const auto& [name, text] : layouts) {
    if (!WriteText(dir + QString::fromUtf8(name.data(), static_cast<int>(name.size())), text,
                   error)) {
      return false;
    }
  }
  for (const SkinImageInfo& info : SKIN_IMAGES) {
    // Masks lose nothing; the pictures keep their detail at a fair size.
    const int quality = info.isMask ? 100 : 92;
    const QString name =
        QString::fromUtf8(info.fileName.data(), static_cast<int>(info.fileName.size()));
    if (!WriteImage(dir + name, ImageFor(d, info.id), quality, error)) return false;
  }
  return true;
}

}  // namespace kr450::skin_art
