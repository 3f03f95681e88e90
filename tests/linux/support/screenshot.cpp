#include "tests/linux/support/screenshot.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/linux/support/shell.h"

namespace linux_test {

win::COLORREF Screenshot::At(int x, int y) const {
    const auto* p = reinterpret_cast<const unsigned char*>(rgb.data()) + 3 * (y * width + x);
    return win::RGB(p[0], p[1], p[2]);
}

std::optional<Screenshot> GrabWindow(const std::string& title) {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || Shell("ffmpeg -version | head -n 1").empty()) return std::nullopt;
    const std::string xid = Shell("xdotool search --name '" + title + "' | head -n 1");
    if (xid.empty()) return std::nullopt;
    std::istringstream geometry(Shell("xdotool getwindowgeometry --shell " + xid));
    int x = -1, y = -1, w = 0, h = 0;
    for (std::string line; std::getline(geometry, line);) {
        std::sscanf(line.c_str(), "X=%d", &x);
        std::sscanf(line.c_str(), "Y=%d", &y);
        std::sscanf(line.c_str(), "WIDTH=%d", &w);
        std::sscanf(line.c_str(), "HEIGHT=%d", &h);
    }
    if (x < 0 || y < 0 || w <= 0 || h <= 0) return std::nullopt;
    const std::string file =
        ::testing::TempDir() + "sonara_screen" + std::to_string(::getpid()) + ".ppm";
    Shell("ffmpeg -nostdin -loglevel error -y -f x11grab -draw_mouse 0 -video_size " +
          std::to_string(w) + "x" + std::to_string(h) + " -i '" + display + "+" +
          std::to_string(x) + "," + std::to_string(y) + "' -frames:v 1 -f image2 -vcodec ppm '" +
          file + "'");
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(file.c_str());
    // P6, width, height, 255, one blank, then the pixels.
    std::istringstream header(bytes);
    std::string magic;
    int max = 0;
    Screenshot shot;
    if (!(header >> magic >> shot.width >> shot.height >> max) || magic != "P6" || max != 255)
        return std::nullopt;
    const auto start = static_cast<std::size_t>(header.tellg()) + 1;
    const auto size = static_cast<std::size_t>(shot.width) * shot.height * 3;
    if (bytes.size() < start + size) return std::nullopt;
    shot.rgb = bytes.substr(start, size);
    return shot;
}

}  // namespace linux_test
