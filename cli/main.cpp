#include <iostream>

#include "vxtool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return vx::cli::Run(args, std::cout, std::cerr);
}
