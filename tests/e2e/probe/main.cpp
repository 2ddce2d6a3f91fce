// winprobe.exe: a line-oriented command server on stdin/stdout for the end-to-end tests. One
// process serves a whole test, since every process start under Wine costs seconds.
#include <iostream>
#include <string>

#include "commands.h"

int main() {
  std::ios::sync_with_stdio(false);
  std::string line;
  std::cout << "\"ready\"" << std::endl;
  bool quit = false;
  while (!quit && std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    probe::Args args = probe::SplitWords(line);
    if (args.empty()) continue;
    std::cout << probe::RunCommand(args, quit) << std::endl;
  }
  return 0;
}
