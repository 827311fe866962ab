// A driver stand-in for the single-instance tests: takes the guard of KEY as IDENTITY and
// prints "primary", then serves until its stdin closes; or prints "running ANSWER" (exit 3)
// when another holds the guard, or "error MESSAGE" (exit 1).
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/instance_guard.h"
#include "app/instance_service_thread.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: instance_helper KEY IDENTITY\n");
    return 2;
  }
  const std::string identity = argv[2];
  kr450::InstanceGuard::Acquired acquired = kr450::InstanceGuard::Acquire(argv[1], identity);
  switch (acquired.outcome) {
    case kr450::InstanceGuard::Outcome::AlreadyRunning:
      std::printf("running %s\n", acquired.answer.c_str());
      return 3;
    case kr450::InstanceGuard::Outcome::Error:
      std::printf("error %s\n", acquired.message.c_str());
      return 1;
    case kr450::InstanceGuard::Outcome::Primary:
      break;
  }
  acquired.guard->SetRequestHandler([&](std::string_view request) {
    if (request != kr450::REQUEST_RESTORE) return std::string();
    return identity == kr450::WINDOW_IDENTITY ? std::string(kr450::ANSWER_RESTORED)
                                              : kr450::BusyAnswer(identity);
  });
  kr450::InstanceServiceThread service(*acquired.guard);
  std::printf("primary\n");
  std::fflush(stdout);
  char byte;
  while (::read(0, &byte, 1) > 0) {
  }
  return 0;
}
