#pragma once
// vxtool in-process: the exit code and everything it printed, without a shell.

#include <sstream>
#include <string>
#include <vector>

#include "cli/vxtool.h"

namespace vx {

struct VxtoolResult {
  int code;
  std::string out, err;
};

inline VxtoolResult Vxtool(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int code = cli::Run(args, out, err);
  return {code, out.str(), err.str()};
}

}  // namespace vx
