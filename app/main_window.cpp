#include "app/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <chrono>
#include <thread>
#include <utility>

#include "app/about_dialog.h"
#include "app/window_texts.h"
#include "macro/macro_record.h"
#include "ui/popup_paint_plan.h"
#include "ui/qt/app_icon.h"
#include "ui/qt/warning_dialog.h"
#include "ui/ui_texts.h"

namespace kr450 {
namespace {

// The pause between opening the mouse and the first apply.
constexpr auto OPEN_TO_APPLY = std::chrono::milliseconds(5);

bool OnWayland() {
  return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

Point PointOf(const QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  return {p.x(), p.y()};
}

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QSize SizeOf(const QImage& image) {
  return image.isNull() ? QSize() : image.size();
}

}  // namespace

CZEL_ZUduvoDlg::CZEL_ZUduvoDlg(DriverSession& session, WindowLink& link, MessageBoxSink& messages,
                               TraceOutput& trace)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      session_(session),
      link_(link),
      messages_(messages),
      trace_(trace) {
  setWindowTitle(QString::fromUtf8(MAIN_WINDOW_TITLE));
  setWindowIcon(AppIcon());
  // Every paint covers the whole window from the back buffer: nothing is erased first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  // Under Wayland a client cannot cut its window: it is translucent outside the shape.
  if (OnWayland()) setAttribute(Qt::WA_TranslucentBackground);
  setMouseTracking(true);
  messages_.SetOwner(this);
}

CZEL_ZUduvoDlg::~CZEL_ZUduvoDlg() {
  if (preview_ != nullptr) preview_->Stop();
  messages_.SetOwner(nullptr);
}

CZEL_ZUduvoDlg::StartResult CZEL_ZUduvoDlg::Start(const std::string& dataDirectory,
                                                  const std::string& skinDirectory) {
  dataDirectory_ = dataDirectory;
  skinDirectory_ = skinDirectory;
  trace_.TimedLine("startup workers");
  session_.StartWorkers();
  session_.TraceScheduling(true);
  session_.link().StartPromptBlink();

  trace_.TimedLine("startup skin");
  const bool skinUsable = LoadSkin(skinDirectory, messages_, link_, &skin_);
  trace_.TimedLine("startup configuration");
  session_.LoadConfiguration(dataDirectory);
  if (!skinUsable) {
    ShutDown(1);
    return StartResult::SkinUnusable;
  }
  trace_.TimedLine("startup shape");
  ApplyShape();
  painter_ = std::make_unique<SkinPainter>(skin_.images);
  trace_.TimedLine("startup macros");
  session_.LoadMacros(dataDirectory);
  BuildPopups();
  BuildMacroEditor();

  trace_.TimedLine("startup open");
  if (!session_.OpenDevice()) {
    trace_.TimedLine("startup no mouse");
    messages_.ShowMessage(NO_MOUSE_TEXT);
    trace_.TimedLine("shutdown without mouse");
    session_.EndWithoutMouse();
    EndProgram(1);
    return StartResult::NoMouse;
  }
  std::this_thread::sleep_for(OPEN_TO_APPLY);
  trace_.TimedLine("startup apply");
  (void)session_.Apply();  // a refused write of config.ini has no one to tell at start
  started_ = true;
  return StartResult::Running;
}

void CZEL_ZUduvoDlg::ApplyShape() {
  const WindowShape& shape = skin_.shape;
  setFixedSize(shape.maskWidth, shape.maskHeight);
  setMask(shape.windowShape);
}

void CZEL_ZUduvoDlg::BuildPopups() {
  const MenuMetrics metrics{SizeOf(skin_.images.Get(SkinImage::MenuMask)).width(),
                            SizeOf(skin_.images.Get(SkinImage::MenuMask)).height(),
                            SizeOf(skin_.images.Get(SkinImage::SubMenuMask)).width(),
                            SizeOf(skin_.images.Get(SkinImage::SubMenuMask)).height()};
  controller_ = std::make_unique<WindowController>(
      session_.state(), session_.macros(), skin_.layout, metrics,
      WindowPaths{dataDirectory_, skinDirectory_}, static_cast<WindowActions&>(*this));
  preview_ = std::make_unique<LightingPreview>(session_.state(), controller_->pageFlag(), link_,
                                               session_.clock());

  WindowController& controller = *controller_;
  const SkinPainter& painter = *painter_;
  menuPopup_ = std::make_unique<CMenuDlg>(
      this, painter,
      SkinPopup::Handlers{[&] { return ComposeMenuPaint(controller.menu(), painter.Measure()); },
                          [&](Point p) { controller.OnMenuPointerMove(p); },
                          [&](Point p) { controller.OnMenuButtonDown(p); },
                          [&](Point p) { controller.OnMenuButtonUp(p); }});
  subMenuPopup_ = std::make_unique<CSubMenuDlg>(
      this, painter,
      SkinPopup::Handlers{[&] { return ComposeSubMenuPaint(controller.menu(), painter.Measure()); },
                          [&](Point p) { controller.OnSubMenuPointerMove(p); },
                          [&](Point p) { controller.OnSubMenuButtonDown(p); },
                          [&](Point p) { controller.OnSubMenuButtonUp(p); }});

  windowMenu_ = std::make_unique<CZelMenu>(this);
  connect(windowMenu_->addAction(QString::fromUtf8(MINIMISE_MENU_TEXT)), &QAction::triggered, this,
          [this] { Minimise(); });
  connect(windowMenu_->addAction(QString::fromUtf8(CLOSE_MENU_TEXT)), &QAction::triggered, this,
          [this] { close(); });
  windowMenu_->addSeparator();
  connect(windowMenu_->addAction(QString::fromUtf8(ABOUT_MENU_TEXT)), &QAction::triggered, this,
          [this] {
            CAboutDlg about(this);
            about.exec();
          });

  tray_ = std::make_unique<TrayIcon>(
      windowIcon(), windowTitle(),
      TrayIcon::Handlers{[this] { ShowAgainFromTray(); }, [this] { ShutDown(0); }});
}

void CZEL_ZUduvoDlg::BuildMacroEditor() {
  capture_ = MakeDesktopKeyboardCapture();
  AdvancedPageEditor::Hooks hooks;
  hooks.repaint = [this] { update(); };
  hooks.showMessage = [this](std::string_view text) { messages_.ShowMessage(text); };
  editor_ = std::make_unique<AdvancedPageEditor>(this, session_.macros(), skin_.layout, *capture_,
                                                 editorClock_, dataDirectory_ + "/Macro.dat",
                                                 std::move(hooks));
}

void CZEL_ZUduvoDlg::ShowAtStart(bool hidden) {
  if (!hidden) {
    show();
    return;
  }
  if (TrayAvailable()) {
    HideToTray();
  } else {
    showMinimized();
  }
}

void CZEL_ZUduvoDlg::ShutDown(int exitStatus) {
  if (ended_) return;
  trace_.TimedLine("shutdown");
  if (preview_ != nullptr) preview_->Stop();
  session_.ShutDown();
  EndProgram(exitStatus);
}

void CZEL_ZUduvoDlg::OnShutdownRequest() {
  if (ended_) return;
  if (started_ && !session_.state().deviceFound.load()) {
    // The mouse is gone: nothing is sent and the pointer speed stays.
    trace_.TimedLine("removed");
    if (preview_ != nullptr) preview_->Stop();
    session_.EndAfterRemoval();
    EndProgram(0);
    return;
  }
  ShutDown(started_ ? 0 : 1);
}

void CZEL_ZUduvoDlg::EndProgram(int exitStatus) {
  ended_ = true;
  // The keyboard grab of a recording goes before anything else.
  if (editor_ != nullptr) editor_->StopRecording();
  if (tray_ != nullptr) tray_->Remove();
  if (menuPopup_ != nullptr) menuPopup_->hide();
  if (subMenuPopup_ != nullptr) subMenuPopup_->hide();
  hide();
  QCoreApplication::exit(exitStatus);
}

void CZEL_ZUduvoDlg::RestoreFromRequest() {
  // Before the start-up has ended the window shows itself anyway.
  if (ended_ || !started_) return;
  trace_.TimedLine("restore");
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void CZEL_ZUduvoDlg::ShowAgainFromTray() {
  if (ended_) return;
  trace_.TimedLine("tray show");
  tray_->Remove();
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

PaintView CZEL_ZUduvoDlg::CurrentView() const {
  PaintView view;
  FillFromDriverState(session_.state(), view);
  if (controller_ != nullptr) controller_->FillPaintView(view);
  const MacroTableData macros = session_.macros().Snapshot();
  for (int i = 0; i < macros.macroCount && i < PAINT_MACRO_NAMES; ++i) {
    view.macroNames[static_cast<size_t>(i)] = MacroNameUtf8(macros.records[static_cast<size_t>(i)]);
  }
  if (macros.selectedMacro >= 0 && macros.selectedMacro < macros.macroCount) {
    view.selectedRepeatEnabled =
        macros.records[static_cast<size_t>(macros.selectedMacro)].repeatEnabled;
  }
  if (editor_ != nullptr) {
    view.recording = editor_->recording();
    view.pressLineCount = editor_->pressLineCount();
    view.releaseLineCount = editor_->releaseLineCount();
  }
  if (preview_ != nullptr) {
    view.previewOff = preview_->previewOff();
    view.previewStage = preview_->previewStage();
  }
  return view;
}

void CZEL_ZUduvoDlg::paintEvent(QPaintEvent*) {
  if (painter_ == nullptr) return;
  QPainter painter(this);
  // Under Wayland the window is translucent around its shape: nothing is drawn there.
  if (testAttribute(Qt::WA_TranslucentBackground)) {
    painter.setClipRegion(skin_.shape.windowShape);
  }
  painter.drawImage(0, 0, painter_->Render(CurrentView(), skin_.layout, devicePixelRatioF()));
  if (!std::exchange(painted_, true)) trace_.TimedLine("painted");
}

// The platform's close (Alt+F4, the window list, the window menu) ends the driver, as the
// tray's exit does.
void CZEL_ZUduvoDlg::closeEvent(QCloseEvent* event) {
  event->ignore();
  ShutDown(0);
}

void CZEL_ZUduvoDlg::mousePressEvent(QMouseEvent* event) {
  movePending_ = false;
  if (controller_ != nullptr && event->button() == Qt::LeftButton) {
    controller_->OnButtonDown(PointOf(event));
  }
}

// The second press of a double-click is a press like the first.
void CZEL_ZUduvoDlg::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
}

void CZEL_ZUduvoDlg::mouseReleaseEvent(QMouseEvent* event) {
  movePending_ = false;
  if (controller_ != nullptr && event->button() == Qt::LeftButton) {
    controller_->OnButtonUp(PointOf(event));
  }
}

void CZEL_ZUduvoDlg::mouseMoveEvent(QMouseEvent* event) {
  // The platform's move starts once the pointer moves with the button held. Asked for at the
  // press, a click shorter than the window manager's look at the button (a touchpad tap) left
  // the window following the pointer until the next click.
  if (movePending_ && (event->buttons() & Qt::LeftButton) && windowHandle() != nullptr) {
    movePending_ = false;
    windowHandle()->startSystemMove();
    return;
  }
  if (controller_ != nullptr) controller_->OnPointerMove(PointOf(event));
}

void CZEL_ZUduvoDlg::leaveEvent(QEvent*) {
  if (controller_ != nullptr) controller_->OnPointerLeave();
}

void CZEL_ZUduvoDlg::contextMenuEvent(QContextMenuEvent* event) {
  if (controller_ != nullptr) controller_->OnContextMenu({event->pos().x(), event->pos().y()});
}

void CZEL_ZUduvoDlg::changeEvent(QEvent* event) {
  // A minimised or hidden window leaves no function menu floating on the desktop.
  if (event->type() == QEvent::WindowStateChange && isMinimized() && controller_ != nullptr &&
      controller_->menu().IsOpen()) {
    CloseFunctionMenu();
  }
  QWidget::changeEvent(event);
}

// --- WindowActions

void CZEL_ZUduvoDlg::Repaint(RepaintArea area) {
  if (area == RepaintArea::AdvancedRegion) {
    update(skin_.shape.advancedRepaintRegion);
  } else {
    update();
  }
}

void CZEL_ZUduvoDlg::Minimise() {
  trace_.TimedLine("minimise");
  showMinimized();
}

bool CZEL_ZUduvoDlg::TrayAvailable() {
  return TrayIcon::Available();
}

void CZEL_ZUduvoDlg::HideToTray() {
  trace_.TimedLine("tray hide");
  tray_->Add();
  hide();
}

void CZEL_ZUduvoDlg::StartSystemMove() {
  movePending_ = true;
}

void CZEL_ZUduvoDlg::OpenWindowMenu(Point client) {
  windowMenu_->popup(mapToGlobal(QPoint(client.x, client.y)));
}

void CZEL_ZUduvoDlg::CreateAdvancedControls() {
  editor_->Create();
}

void CZEL_ZUduvoDlg::DestroyAdvancedControls() {
  editor_->Destroy();
}

void CZEL_ZUduvoDlg::StartPromptBlink() {
  session_.link().StartPromptBlink();
}

void CZEL_ZUduvoDlg::StartLightingPreview() {
  preview_->Start();
}

int CZEL_ZUduvoDlg::ShowWarning(Point anchor) {
  trace_.TimedLine("warning");
  WarningDlg warning(this, *painter_, skin_.layout.warning, skin_.warningShape,
                     SizeOf(skin_.images.Get(SkinImage::WarningMask)));
  const int result = warning.Ask(QPoint(anchor.x, anchor.y));
  trace_.TimedLine(result == 1 ? "warning confirmed" : "warning cancelled");
  return result;
}

std::optional<std::string> CZEL_ZUduvoDlg::ChooseFile(const FileDialogRequest& request) {
  QFileDialog dialog(this);
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilter(ToQString(request.filterLabel));
  dialog.setDirectory(QString::fromStdString(request.folder));
  if (!request.defaultExtension.empty())
    dialog.setDefaultSuffix(ToQString(request.defaultExtension));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

void CZEL_ZUduvoDlg::ShowError(std::string_view text) {
  messages_.ShowMessage(text);
}

void CZEL_ZUduvoDlg::ShowFunctionMenu() {
  const MenuRect rect = controller_->menu().Rect();
  trace_.TimedLine("menu open");
  menuPopup_->ShowAt(QPoint(rect.x, rect.y), QSize(rect.width, rect.height));
  subMenuPopup_->hide();
}

void CZEL_ZUduvoDlg::FunctionMenuChanged() {
  menuPopup_->update();
  const FunctionMenu& menu = controller_->menu();
  const MenuRect sub = menu.SubMenuRect();
  if (menu.subMenu().has_value() && sub.width > 0 && sub.height > 0) {
    subMenuPopup_->ShowAt(QPoint(sub.x, sub.y), QSize(sub.width, sub.height));
  } else {
    subMenuPopup_->hide();
  }
}

void CZEL_ZUduvoDlg::SubMenuChanged() {
  subMenuPopup_->update();
}

void CZEL_ZUduvoDlg::CloseFunctionMenu() {
  trace_.TimedLine("menu close");
  subMenuPopup_->hide();
  menuPopup_->hide();
  update();
}

Status CZEL_ZUduvoDlg::Apply() {
  trace_.TimedLine("apply");
  return session_.Apply().status();
}

void CZEL_ZUduvoDlg::RefreshMacroList() {
  editor_->RefreshMacroList();
}

void CZEL_ZUduvoDlg::AddMacro() {
  editor_->AddMacro();
}

void CZEL_ZUduvoDlg::DeleteMacro() {
  editor_->DeleteMacro();
}

void CZEL_ZUduvoDlg::ToggleRecording() {
  editor_->ToggleRecording();
  trace_.TimedLine(editor_->recording() ? "recording" : "recording stopped");
}

void CZEL_ZUduvoDlg::SaveMacros() {
  if (Status status = editor_->SaveMacros(); !status) messages_.ShowMessage(status.message());
}

void CZEL_ZUduvoDlg::ToggleRepeat() {
  editor_->ToggleRepeat();
}

}  // namespace kr450
