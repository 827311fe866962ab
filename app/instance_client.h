#pragma once

#include <chrono>
#include <string>
#include <string_view>

// The asking side of the single-instance socket.
namespace kr450 {

struct InstanceReply {
  enum class Outcome {
    Answered,    // `answer` holds the line, cleaned as CleanLine() does
    NoListener,  // nothing listens on the socket (none runs, or it is starting or ending)
    NoAnswer,    // connected, but no whole line came before the deadline
  } outcome;
  std::string answer;
};

// Sends `request` to the socket at `socketPath` and reads the answer line, waiting until
// `deadline` at most.
InstanceReply AskAtSocket(const std::string& socketPath, std::string_view request,
                          std::chrono::steady_clock::time_point deadline);

// Sends `request` to the driver of `key` in the user's instance folder; its answer line, or
// empty when none answers within `timeout`.
std::string AskInstance(std::string_view key, std::string_view request,
                        std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));

// Asks the driver of `key` to show its window: ANSWER_RESTORED from a window, "busy IDENTITY"
// from a driver without one, empty when none answers.
std::string RequestRestore(std::string_view key);

}  // namespace kr450
