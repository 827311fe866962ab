#pragma once

#include <QApplication>
#include <string>

namespace kr450 {

// The application object: fixes the program's folder and prepares Qt for the skinned window
// (fonts, the window staying resident while hidden in the notification area).
class CZEL_ZUduvoApp final : public QApplication {
  Q_OBJECT

 public:
  CZEL_ZUduvoApp(int& argc, char** argv);

  // The folder of the running program, where the skins and the shipped defaults lie.
  const std::string& programDirectory() const { return programDirectory_; }

 private:
  std::string programDirectory_;
};

}  // namespace kr450
