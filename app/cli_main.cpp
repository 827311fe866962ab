#include <iostream>

#include "app/cli.h"

int main(int argc, char** argv) {
  return kr450::RunCli(argc, argv, std::cout, std::cerr);
}
