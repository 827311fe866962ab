#include "app/about_dialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/window_texts.h"
#include "ui/qt/app_icon.h"

namespace kr450 {

CAboutDlg::CAboutDlg(QWidget* owner) : QDialog(owner) {
  setWindowTitle(QStringLiteral("About kr450"));
  auto* icon = new QLabel;
  icon->setPixmap(QPixmap::fromImage(RenderAppIcon(64)));
  auto* text = new QLabel(
      QStringLiteral("<b>%1</b> %2<br>%3<br><br>%4")
          .arg(QString::fromUtf8(MAIN_WINDOW_TITLE), QCoreApplication::applicationVersion(),
               QString::fromUtf8(ABOUT_DESCRIPTION), QString::fromUtf8(ABOUT_LICENCE)));
  text->setTextFormat(Qt::RichText);
  text->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addWidget(icon, 0, Qt::AlignTop);
  row->addWidget(text, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
  setFixedWidth(420);
}

}  // namespace kr450
