// Runs a shell command (at most 30 seconds, ample on a busy machine) and returns its output without
// the trailing newline; the X input tests drive xdotool through it.
#pragma once

#include <string>

namespace linux_test {

std::string Shell(const std::string& command);

}  // namespace linux_test
