#include "app/instance_protocol.h"

namespace kr450 {

bool IsSimRequest(std::string_view request) {
  return request.substr(0, request.find(' ')) == REQUEST_SIM;
}

std::optional<SimKeyStep> ParseSimRequest(std::string_view request) {
  for (const bool press : {true, false}) {
    const std::string prefix = std::string(REQUEST_SIM) + (press ? " press " : " release ");
    if (!request.starts_with(prefix)) continue;
    const std::string_view key = request.substr(prefix.size());
    static_assert(SIM_KEY_COUNT < 10, "a key number is one digit");
    if (key.size() != 1 || key[0] < '1' || key[0] > '0' + SIM_KEY_COUNT) return std::nullopt;
    return SimKeyStep{press, key[0] - '0'};
  }
  return std::nullopt;
}

std::string HelloAnswer(std::string_view identity) {
  return "ok " + std::string(identity);
}

std::string BusyAnswer(std::string_view identity) {
  return "busy " + std::string(identity);
}

std::string RunningInstanceName(std::string_view answer) {
  for (std::string_view word : {std::string_view("ok "), std::string_view("busy ")}) {
    if (answer.starts_with(word)) return std::string(answer.substr(word.size()));
  }
  return {};
}

std::string CleanLine(std::string_view text) {
  text = text.substr(0, text.find_first_of("\r\n"));
  text = text.substr(0, MAX_INSTANCE_LINE);
  std::string line(text);
  for (char& c : line) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) c = '?';
  }
  return line;
}

LineCollector::State LineCollector::Feed(std::string_view bytes) {
  if (state_ != State::Incomplete) return state_;
  const size_t end = bytes.find('\n');
  line_.append(bytes.substr(0, end));
  // One byte more than a line may hold is allowed for the '\r' of "\r\n".
  const size_t limit = MAX_INSTANCE_LINE + (line_.ends_with('\r') ? 1 : 0);
  if (line_.size() > limit) {
    line_.clear();
    state_ = State::TooLong;
  } else if (end != std::string_view::npos) {
    if (line_.ends_with('\r')) line_.pop_back();
    state_ = State::Complete;
  }
  return state_;
}

}  // namespace kr450
