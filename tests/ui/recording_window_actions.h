#pragma once

// A WindowActions that records every call in order, as text, and answers the blocking ones
// with what the test set.

#include <optional>
#include <string>
#include <vector>

#include "ui/window_actions.h"

namespace kr450::test {

class RecordingWindowActions final : public WindowActions {
 public:
  // Answers.
  bool trayAvailable = true;
  int warningResult = 1;
  std::optional<std::string> chosenFile;  // nothing: the dialog is cancelled
  Status applyStatus = Status::Ok();

  std::vector<std::string> calls;

  // The calls other than repaints, which the pointer state asks for on every change.
  std::vector<std::string> Commands() const {
    std::vector<std::string> out;
    for (const std::string& call : calls) {
      if (call.rfind("Repaint", 0) != 0) out.push_back(call);
    }
    return out;
  }
  int Count(const std::string& call) const {
    int n = 0;
    for (const std::string& c : calls) n += c == call;
    return n;
  }
  void Clear() { calls.clear(); }

  void Repaint(RepaintArea area) override {
    calls.push_back(area == RepaintArea::Window ? "Repaint" : "RepaintAdvancedRegion");
  }
  void Minimise() override { calls.push_back("Minimise"); }
  bool TrayAvailable() override { return trayAvailable; }
  void HideToTray() override { calls.push_back("HideToTray"); }
  void StartSystemMove() override { calls.push_back("StartSystemMove"); }
  void OpenWindowMenu(Point p) override {
    calls.push_back("OpenWindowMenu " + std::to_string(p.x) + "," + std::to_string(p.y));
  }
  void CreateAdvancedControls() override { calls.push_back("CreateAdvancedControls"); }
  void DestroyAdvancedControls() override { calls.push_back("DestroyAdvancedControls"); }
  void StartPromptBlink() override { calls.push_back("StartPromptBlink"); }
  void StartLightingPreview() override { calls.push_back("StartLightingPreview"); }
  int ShowWarning(Point anchor) override {
    calls.push_back("ShowWarning " + std::to_string(anchor.x) + "," + std::to_string(anchor.y));
    return warningResult;
  }
  std::optional<std::string> ChooseFile(const FileDialogRequest& r) override {
    calls.push_back(std::string(r.save ? "SaveFile " : "OpenFile ") + std::string(r.filterLabel) +
                    " " + std::string(r.pattern) + " ." + std::string(r.defaultExtension) + " " +
                    r.folder);
    return chosenFile;
  }
  void ShowError(std::string_view text) override {
    calls.push_back("ShowError " + std::string(text));
  }
  void ShowFunctionMenu() override { calls.push_back("ShowFunctionMenu"); }
  void FunctionMenuChanged() override { calls.push_back("FunctionMenuChanged"); }
  void SubMenuChanged() override { calls.push_back("SubMenuChanged"); }
  void CloseFunctionMenu() override { calls.push_back("CloseFunctionMenu"); }
  Status Apply() override {
    calls.push_back("Apply");
    return applyStatus;
  }
  void RefreshMacroList() override { calls.push_back("RefreshMacroList"); }
  void AddMacro() override { calls.push_back("AddMacro"); }
  void DeleteMacro() override { calls.push_back("DeleteMacro"); }
  void ToggleRecording() override { calls.push_back("ToggleRecording"); }
  void SaveMacros() override { calls.push_back("SaveMacros"); }
  void ToggleRepeat() override { calls.push_back("ToggleRepeat"); }
};

}  // namespace kr450::test
