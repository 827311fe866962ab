#include "app/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <chrono>
#include <thread>

#include "app/cli.h"
#include "app/window_texts.h"
#include "ui/qt/app_icon.h"

namespace kr450 {
namespace {

// The pause between opening the mouse and the first apply: the mouse takes its first feature
// report more reliably after it.
constexpr auto OPEN_TO_APPLY = std::chrono::milliseconds(5);

bool OnWayland() {
  return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
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
  messages_.SetOwner(nullptr);
}

CZEL_ZUduvoDlg::StartResult CZEL_ZUduvoDlg::Start(const std::string& dataDirectory,
                                                  const std::string& skinDirectory) {
  trace_.TimedLine("startup workers");
  session_.StartWorkers();
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
  trace_.TimedLine("startup macros");
  session_.LoadMacros(dataDirectory);

  trace_.TimedLine("startup open");
  if (!session_.OpenDevice()) {
    trace_.TimedLine("startup no mouse");
    messages_.ShowMessage(NO_MOUSE_MESSAGE);
    trace_.TimedLine("shutdown without mouse");
    session_.EndWithoutMouse();
    EndProgram(1);
    return StartResult::NoMouse;
  }
  std::this_thread::sleep_for(OPEN_TO_APPLY);
  trace_.TimedLine("startup apply");
  session_.Apply();
  started_ = true;
  return StartResult::Running;
}

void CZEL_ZUduvoDlg::ApplyShape() {
  const WindowShape& shape = skin_.shape;
  setFixedSize(shape.maskWidth, shape.maskHeight);
  setMask(shape.windowShape);
}

void CZEL_ZUduvoDlg::ShutDown(int exitStatus) {
  if (ended_) return;
  trace_.TimedLine("shutdown");
  session_.ShutDown();
  EndProgram(exitStatus);
}

void CZEL_ZUduvoDlg::OnShutdownRequest() {
  if (ended_) return;
  if (started_ && !session_.state().deviceFound.load()) {
    // The mouse is gone: nothing is sent and the pointer speed stays.
    trace_.TimedLine("removed");
    session_.EndAfterRemoval();
    EndProgram(0);
    return;
  }
  ShutDown(started_ ? 0 : 1);
}

void CZEL_ZUduvoDlg::EndProgram(int exitStatus) {
  ended_ = true;
  hide();
  QCoreApplication::exit(exitStatus);
}

void CZEL_ZUduvoDlg::RestoreFromRequest() {
  if (ended_) return;
  trace_.TimedLine("restore");
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
}

void CZEL_ZUduvoDlg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QImage& page = skin_.images.Get(SkinImage::MainNormal);
  if (!page.isNull()) painter.drawImage(0, 0, page);
}

// The platform's close (Alt+F4, the window list) ends the driver, as the tray's exit does.
void CZEL_ZUduvoDlg::closeEvent(QCloseEvent* event) {
  event->ignore();
  ShutDown(0);
}

void CZEL_ZUduvoDlg::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && windowHandle() != nullptr) {
    windowHandle()->startSystemMove();
  }
}

void CZEL_ZUduvoDlg::mouseReleaseEvent(QMouseEvent*) {}
void CZEL_ZUduvoDlg::mouseMoveEvent(QMouseEvent*) {}
void CZEL_ZUduvoDlg::leaveEvent(QEvent*) {}
void CZEL_ZUduvoDlg::contextMenuEvent(QContextMenuEvent*) {}

}  // namespace kr450
