#include "app/instance_protocol.h"

#include <gtest/gtest.h>

#include <string>
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

}  // namespace
}  // namespace kr450
