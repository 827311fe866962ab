#pragma once

#include <QDialog>

namespace kr450 {

// The about box of the window menu: the program's name, version, what it is and its licence.
class CAboutDlg final : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* owner);
};

}  // namespace kr450
