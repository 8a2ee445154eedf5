// stackvm: runs a program compiled by stackcc.
#include <iostream>
#include <string>
#include <vector>

#include "vm/command.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
  return stackvm::runCommand(args, {std::cin, std::cout, std::cerr}, stackvm::readFile);
}
