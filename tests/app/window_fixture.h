#pragma once

// The window program run inside the test process, wired as kr450 wires it (the instance guard
// aside), on a scratch data folder, with the input recorded and the trace kept.
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "actions/recording_input.h"
#include "app/driver_session.h"
#include "app/main_window.h"
#include "app/qt_window_link.h"
#include "app/trace_output.h"
#include "tests/support/scratch_dir.h"

namespace kr450::test {

// A stream buffer that workers may write to while the test reads it.
class SharedTextBuffer final : public std::streambuf {
 public:
  std::string Text() const {
    std::lock_guard lock(mutex_);
    return text_;
  }

 protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof()) {
      std::lock_guard lock(mutex_);
      text_.push_back(static_cast<char>(c));
    }
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    std::lock_guard lock(mutex_);
    text_.append(s, static_cast<size_t>(n));
    return n;
  }

 private:
  mutable std::mutex mutex_;
  std::string text_;
};

// The trace lines without their times (" t=...").
inline std::vector<std::string> UntimedLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (const size_t t = line.find(" t="); t != std::string::npos) line.erase(t);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// Runs the event loop until `done` holds or `limit` passes; whether it held.
inline bool ProcessEventsUntil(const std::function<bool()>& done,
                               std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

// The visible top-level widget titled `title`, or null.
inline QWidget* VisibleTopLevel(const QString& title) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible() && widget->windowTitle() == title) return widget;
  }
  return nullptr;
}

class WindowRun {
 public:
  // `simulate`: the simulated mouse; otherwise the system's devices (none here).
  explicit WindowRun(bool simulate) {
    CopyShippedData(data_, {"config.ini", "Macro.dat"});
    auto input = std::make_unique<RecordingInput>();
    input_ = input.get();
    session_ = std::make_unique<DriverSession>(
        DriverSession::Options{.simulate = simulate, .watchResume = false, .trace = &trace_},
        std::move(input), link_, messages_);
    window_ = std::make_unique<CZEL_ZUduvoDlg>(*session_, link_, messages_, trace_);
    link_.SetTarget(window_.get());
  }
  // The window and the engine go first; requests the workers queued for the window then find
  // none.
  ~WindowRun() {
    link_.SetTarget(nullptr);
    window_.reset();
    session_.reset();
    QCoreApplication::processEvents();
  }

  CZEL_ZUduvoDlg::StartResult Start() {
    return window_->Start(data_.path().string(), std::string(KR450_BIN_DIR) + "/skins");
  }
  // Starts and shows the window on its main page, as kr450 does; false when it did not start.
  bool StartShown() {
    if (Start() != CZEL_ZUduvoDlg::StartResult::Running) return false;
    window_->ShowAtStart(false);
    return ProcessEventsUntil([&] { return window_->isVisible(); });
  }

  // Runs the event loop from `trigger` on until the program ends; its exit status, or -1 when
  // it did not end within `limit`.
  int RunUntilEnd(const std::function<void()>& trigger,
                  std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    bool timedOut = false;
    QTimer::singleShot(0, trigger);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
      timedOut = true;
      QCoreApplication::exit(-1);
    });
    watchdog.start(limit);
    const int status = QCoreApplication::exec();
    return timedOut ? -1 : status;
  }

  std::vector<std::string> TraceLines() const { return UntimedLines(traceText_.Text()); }

  ScratchDir& data() { return data_; }
  CZEL_ZUduvoDlg& window() { return *window_; }
  DriverSession& session() { return *session_; }
  RecordingInput& input() { return *input_; }

 private:
  ScratchDir data_;
  SharedTextBuffer traceText_;
  std::ostream traceStream_{&traceText_};
  TraceOutput trace_{traceStream_, true};
  QtWindowLink link_{[this] {
    if (window_ != nullptr) window_->OnShutdownRequest();
  }};
  MessageBoxSink messages_;
  RecordingInput* input_ = nullptr;
  std::unique_ptr<DriverSession> session_;
  std::unique_ptr<CZEL_ZUduvoDlg> window_;
};

// Answers every message box that shows while it lives (OK), keeping their captions and texts.
class MessageBoxAnswerer {
 public:
  MessageBoxAnswerer() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      captions_.push_back(box->windowTitle().toStdString());
      texts_.push_back(box->text().toStdString());
      box->accept();
    });
    timer_.start(20);
  }
  const std::vector<std::string>& texts() const { return texts_; }
  const std::vector<std::string>& captions() const { return captions_; }

 private:
  QTimer timer_;
  std::vector<std::string> captions_;
  std::vector<std::string> texts_;
};

}  // namespace kr450::test
