#include "app/instance_protocol.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kr450 {
namespace {

struct LineCase {
  const char* name;
  std::vector<std::string> pieces;
  LineCollector::State state;
  std::string line;
};

TEST(LineCollector, TakesOneLineFromItsPieces) {
  using State = LineCollector::State;
  const std::string longest(MAX_INSTANCE_LINE, 'a');
  const LineCase cases[] = {
      {"whole", {"hello\n"}, State::Complete, "hello"},
      {"in pieces", {"he", "", "llo", "\n"}, State::Complete, "hello"},
      {"CRLF", {"restore\r\n"}, State::Complete, "restore"},
      {"CR and LF apart", {"restore\r", "\n"}, State::Complete, "restore"},
      {"empty line", {"\n"}, State::Complete, ""},
      {"bytes after the line end are not taken", {"hello\nrestore\n"}, State::Complete, "hello"},
      {"no line end yet", {"hello"}, State::Incomplete, ""},
      {"longest line", {longest, "\n"}, State::Complete, longest},
      {"longest line with CRLF", {longest, "\r\n"}, State::Complete, longest},
      {"one byte too many", {longest + "a"}, State::TooLong, ""},
      {"too long in pieces", {longest, "ab", "\n"}, State::TooLong, ""},
      {"too long before its end", {longest + "aa\n"}, State::TooLong, ""},
      {"stays too long", {longest + "a", "\n"}, State::TooLong, ""},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.name);
    LineCollector collector;
    for (const std::string& piece : c.pieces) collector.Feed(piece);
    EXPECT_EQ(collector.state(), c.state);
    if (c.state == State::Complete) {
      EXPECT_EQ(collector.line(), c.line);
    }
  }
}

TEST(InstanceProtocol, NamesTheRunningDriverFromItsAnswer) {
  const std::pair<std::string, std::string> cases[] = {
      {HelloAnswer("kr450 window"), "kr450 window"},
      {BusyAnswer("kr450-cli run"), "kr450-cli run"},
      {std::string(ANSWER_RESTORED), "window"},
      {std::string(ANSWER_UNKNOWN_REQUEST), ""},
      {"", ""},
      {"okay", ""},
  };
  for (const auto& [answer, name] : cases) {
    SCOPED_TRACE(answer);
    EXPECT_EQ(RunningInstanceName(answer), name);
  }
}

TEST(InstanceProtocol, CleanLineCutsAndDefusesWhatItSends) {
  EXPECT_EQ(CleanLine("ok kr450 window"), "ok kr450 window");
  EXPECT_EQ(CleanLine("ok one\nbusy two"), "ok one");
  EXPECT_EQ(CleanLine("ok one\r\n"), "ok one");
  EXPECT_EQ(CleanLine(std::string("a\x1b[2Jb\x7f\t", 8)), "a?[2Jb??");
  EXPECT_EQ(CleanLine("ok 窗口"), "ok 窗口");  // UTF-8 passes
  EXPECT_EQ(CleanLine(std::string(1000, 'x')).size(), MAX_INSTANCE_LINE);
}

TEST(InstanceProtocol, SimRequestTakesExactlyAPressOrReleaseOfAKey) {
  struct SimCase {
    std::string request;
    bool isSim;
    std::optional<std::pair<bool, int>> step;  // press, key
  };
  const SimCase cases[] = {
      {"sim press 1", true, std::pair{true, 1}},
      {"sim release 6", true, std::pair{false, 6}},
      {"sim press 0", true, std::nullopt},
      {"sim press 7", true, std::nullopt},
      {"sim press 10", true, std::nullopt},
      {"sim press -1", true, std::nullopt},
      {"sim press", true, std::nullopt},
      {"sim press  4", true, std::nullopt},
      {"sim press 4 ", true, std::nullopt},
      {"sim click 4", true, std::nullopt},
      {"sim", true, std::nullopt},
      {"simulate press 4", false, std::nullopt},
      {"restore", false, std::nullopt},
      {"", false, std::nullopt},
  };
  for (const SimCase& c : cases) {
    SCOPED_TRACE(c.request);
    EXPECT_EQ(IsSimRequest(c.request), c.isSim);
    const std::optional<SimKeyStep> step = ParseSimRequest(c.request);
    ASSERT_EQ(step.has_value(), c.step.has_value());
    if (step) {
      EXPECT_EQ(std::pair(step->press, step->key), *c.step);
    }
  }
}

}  // namespace
}  // namespace kr450
