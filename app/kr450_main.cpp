// kr450: the driver with its window. One per user: a second start shows the first one's
// window and ends.
#include <iostream>
#include <memory>

#include "app/driver_session.h"
#include "app/main_window.h"
#include "app/paths.h"
#include "app/qt_window_link.h"
#include "app/trace_output.h"
#include "app/window_options.h"
#include "app/zel_app.h"

namespace kr450 {
namespace {

int RunWindow(CZEL_ZUduvoApp& app, const WindowOptions& options) {
  const std::string dataDirectory = options.dataDir.empty() ? DataDirectory() : options.dataDir;
  if (Status status = EnsureConfigFile(dataDirectory); !status) {
    std::cerr << "kr450: " << status.message() << "\n";
    return 1;
  }

  std::vector<std::string> problems;
  std::unique_ptr<InputSynth> input = OpenInputBackend("", &problems);
  for (const std::string& problem : problems) std::cerr << "kr450: " << problem << "\n";

  TraceOutput trace(std::cout, options.trace);
  CZEL_ZUduvoDlg* window = nullptr;
  QtWindowLink link([&window] {
    if (window != nullptr) window->OnShutdownRequest();
  });
  MessageBoxSink messages;
  DriverSession session({.simulate = options.simulate, .trace = &trace}, std::move(input), link,
                        messages);
  CZEL_ZUduvoDlg dialog(session, link, messages, trace);
  window = &dialog;
  link.SetTarget(&dialog);

  if (dialog.Start(dataDirectory, SkinDirectory()) != CZEL_ZUduvoDlg::StartResult::Running) {
    return 1;
  }
  dialog.show();
  const int status = app.exec();
  window = nullptr;
  link.SetTarget(nullptr);
  return status;
}

}  // namespace
}  // namespace kr450

int main(int argc, char** argv) {
  kr450::WindowOptions options;
  bool help = false;
  std::string error;
  if (!kr450::ParseWindowOptions(argc, argv, &options, &help, &error)) {
    std::cerr << "kr450: " << error << "\n" << kr450::WINDOW_USAGE;
    return 2;
  }
  if (help) {
    std::cout << kr450::WINDOW_USAGE;
    return 0;
  }
  kr450::CZEL_ZUduvoApp app(argc, argv);
  return kr450::RunWindow(app, options);
}
