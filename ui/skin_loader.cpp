#include "ui/skin_loader.h"

#include <vector>

#include "ui/skin_files.h"
#include "ui/ui_texts.h"

namespace kr450 {
namespace {

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "\n" + line;
  return text;
}

}  // namespace

bool LoadSkin(const std::string& skinDirectory, MessageSink& messages, WindowLink& window,
              LoadedSkin* skin) {
  SkinFiles files(skinDirectory, messages, window);
  skin->layout = ReadSkinLayout(files);

  std::vector<std::string> problems;
  skin->images = SkinImageSet::Load(skinDirectory, &problems);
  const QImage& mask = skin->images.Get(SkinImage::MainMask);
  if (!mask.isNull()) {
    const SkinLayout& layout = skin->layout;
    skin->shape = BuildWindowShape(mask, layout.nameField, layout.eventList, layout.macroList);
    // A window without pixels could be neither seen nor closed by the user.
    if (skin->shape.windowShape.isEmpty()) {
      problems.push_back(std::string(SkinImageFile(SkinImage::MainMask).fileName) +
                         "：没有可显示的窗口区域");
    }
  }
  const QImage& warningMask = skin->images.Get(SkinImage::WarningMask);
  if (!warningMask.isNull()) {
    skin->warningShape = BuildWarningShape(warningMask);
    if (skin->warningShape.isEmpty()) {
      problems.push_back(std::string(SkinImageFile(SkinImage::WarningMask).fileName) +
                         "：没有可显示的窗口区域");
    }
  }
  if (problems.empty()) return files.allFilesFound();

  messages.ShowMessage(std::string(SKIN_IMAGE_PROBLEM_TEXT) + JoinLines(problems));
  if (files.allFilesFound()) window.RequestShutdown();  // else SkinFiles has asked already
  return false;
}

}  // namespace kr450
