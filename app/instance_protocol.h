#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The line protocol of the single-instance socket. A client sends one request line and reads
// one answer line; then the running driver closes the connection. New requests are new words:
// an old driver answers them with ANSWER_UNKNOWN_REQUEST.
namespace kr450 {

// The longest line either side sends or takes, without its line end.
inline constexpr size_t MAX_INSTANCE_LINE = 256;

// "hello": who runs. The answer is "ok " followed by the driver's identity ("kr450 window",
// "kr450-cli run", "kr450-cli sim").
inline constexpr std::string_view REQUEST_HELLO = "hello";
// "restore": show the window. A window answers ANSWER_RESTORED; a driver without a window
// answers "busy " followed by its identity.
inline constexpr std::string_view REQUEST_RESTORE = "restore";

inline constexpr std::string_view ANSWER_RESTORED = "ok window";
// The identity of the window's driver; kr450-cli's are "kr450-cli run" and "kr450-cli sim".
inline constexpr std::string_view WINDOW_IDENTITY = "kr450 window";
inline constexpr std::string_view ANSWER_UNKNOWN_REQUEST = "error unknown-request";
inline constexpr std::string_view ANSWER_LINE_TOO_LONG = "error line-too-long";

// "sim press K", "sim release K" (K 1..SIM_KEY_COUNT): the user presses or releases key K of
// the simulated mouse, so that scripts and tests can drive a simulated window from outside its
// process. Only a window started with --simulate performs it (ANSWER_SIM_DONE); one that
// drives the real mouse answers ANSWER_NOT_SIMULATED, a malformed step ANSWER_BAD_SIM_STEP.
inline constexpr std::string_view REQUEST_SIM = "sim";
inline constexpr int SIM_KEY_COUNT = 6;
inline constexpr std::string_view ANSWER_SIM_DONE = "ok";
inline constexpr std::string_view ANSWER_NOT_SIMULATED = "error not-simulated";
inline constexpr std::string_view ANSWER_BAD_SIM_STEP = "error bad-sim-step";

struct SimKeyStep {
  bool press = false;
  int key = 0;  // 1..SIM_KEY_COUNT
};

// True when the request's first word is "sim", well formed or not.
bool IsSimRequest(std::string_view request);
// The step of a well-formed "sim" request: exactly "sim press K" or "sim release K", single
// blanks, K one digit 1..SIM_KEY_COUNT.
std::optional<SimKeyStep> ParseSimRequest(std::string_view request);

std::string HelloAnswer(std::string_view identity);
std::string BusyAnswer(std::string_view identity);

// What runs, as an answer names it: "ok kr450 window" and "busy kr450 window" give
// "kr450 window", "ok window" gives "window"; empty for an error or no answer.
std::string RunningInstanceName(std::string_view answer);

// A line as one side may send it: cut before the first line end and to MAX_INSTANCE_LINE
// bytes, control characters replaced by '?', so that an answer printed to a terminal cannot
// steer it.
std::string CleanLine(std::string_view text);

// Collects the bytes of one line as they arrive in pieces.
class LineCollector {
 public:
  enum class State { Incomplete, Complete, TooLong };

  // Takes the next bytes. Complete once a "\n" came (bytes after it are ignored); TooLong once
  // more than MAX_INSTANCE_LINE bytes came without one.
  State Feed(std::string_view bytes);
  State state() const { return state_; }
  // The line without its "\n" or "\r\n"; only when Complete.
  const std::string& line() const { return line_; }

 private:
  std::string line_;
  State state_ = State::Incomplete;
};

}  // namespace kr450
