#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "app/cli.h"

namespace kr450::test {

struct CliResult {
  int status = 0;
  std::string out;
  std::string err;
};

// kr450-cli on the data folder `dataDir`, run in this process with its streams captured.
inline CliResult RunCliWithData(const std::string& dataDir, std::vector<std::string> args) {
  args.insert(args.begin(), {"kr450-cli", "--data", dataDir});
  std::vector<char*> argv;
  argv.reserve(args.size());
  for (std::string& arg : args) argv.push_back(arg.data());
  std::ostringstream out, err;
  const int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

// The lines of a text, without their line ends.
inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace kr450::test
