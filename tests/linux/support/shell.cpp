#include "tests/linux/support/shell.h"

#include <cstdio>

namespace linux_test {

std::string Shell(const std::string& command) {
    std::string out;
    FILE* p = popen(("timeout 30 " + command + " 2>/dev/null").c_str(), "r");
    if (!p) return out;
    char buf[256];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}

}  // namespace linux_test
