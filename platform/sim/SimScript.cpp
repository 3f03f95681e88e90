// The script language of simulated runs: one command a line, scheduled at a time cursor
// that only `wait` advances.
#include <charconv>
#include <cstdint>
#include <optional>

#include "platform/paths.h"
#include "platform/sim/SimMachine.h"

namespace sim {

namespace {

std::string_view Trim(std::string_view s) {
    auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
    };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// The length of the UTF-8 character starting at s[0] (1 for a stray byte).
std::size_t CharLength(std::string_view s) {
    auto b = static_cast<unsigned char>(s[0]);
    std::size_t n = b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    return n <= s.size() ? n : 1;
}

// A whole decimal number of 32 bits.
std::optional<std::uint32_t> Number(std::string_view s) {
    std::uint32_t v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

}  // namespace

std::optional<std::string> SimMachine::LoadScript(
    std::string_view text,
    const std::function<bool(std::string_view line, std::uint32_t at)>& extension) {
    std::uint32_t cursor = now_;
    int lineNumber = 0;
    while (!text.empty()) {
        std::size_t nl = text.find('\n');
        std::string_view raw = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        ++lineNumber;
        std::string_view line = Trim(raw);
        if (line.empty() || line[0] == '#') continue;

        std::size_t space = line.find_first_of(" \t");
        std::string verb = win::FoldCase(line.substr(0, space));
        std::string_view arg =
            space == std::string_view::npos ? std::string_view() : Trim(line.substr(space));
        std::string argFolded = win::FoldCase(arg);
        auto fail = [&](std::string_view why) {
            return "script line " + std::to_string(lineNumber) + ": " + std::string(why) + ": " +
                   std::string(line);
        };

        if (verb == "wait") {
            std::uint32_t ms = 0;
            auto [end, ec] = std::from_chars(arg.data(), arg.data() + arg.size(), ms);
            if (arg.empty() || ec != std::errc() || end != arg.data() + arg.size())
                return fail("bad wait");
            if (cursor > UINT32_MAX - ms) return fail("wait beyond the end of time");
            cursor += ms;
        } else if (verb == "key" || verb == "keydown" || verb == "keyup") {
            auto key = ParseKeySpec(arg);
            if (!key) return fail("unknown key");
            if (verb == "key")
                PressKey(*key, cursor);
            else if (verb == "keydown")
                KeyDown(*key, cursor);
            else
                KeyUp(*key, cursor);
        } else if (verb == "click") {
            int button = argFolded == "left"     ? 0
                         : argFolded == "right"  ? 1
                         : argFolded == "middle" ? 2
                                                 : -1;
            if (button < 0) return fail("unknown button");
            Click(button, cursor);
        } else if (verb == "wheel") {
            if (argFolded != "up" && argFolded != "down") return fail("wheel up or down");
            Wheel(argFolded == "up" ? 120 : -120, cursor);
        } else if (verb == "focus") {
            if (argFolded != "on" && argFolded != "off") return fail("focus on or off");
            Focus(argFolded == "on", cursor);
        } else if (verb == "close" && arg.empty()) {
            Close(cursor);
        } else if (verb == "type") {
            // Take the text after one separating blank, so leading spaces can be typed.
            std::string_view typed =
                space == std::string_view::npos ? std::string_view() : Trim(raw).substr(space + 1);
            std::uint32_t at = cursor;
            while (!typed.empty()) {
                std::size_t n = CharLength(typed);
                auto key = ParseKeySpec(typed.substr(0, n));
                if (!key) return fail("cannot type");
                PressKey(*key, at);
                at += 10;
                typed.remove_prefix(n);
            }
        } else if (verb == "braille-display") {
            std::optional<std::uint32_t> cells = Number(arg);
            if (!cells || *cells > 1024) return fail("braille-display CELLS (0..1024)");
            AttachBrailleDisplay(static_cast<int>(*cells));
        } else if (verb == "braille-key") {
            std::size_t gap = arg.find_first_of(" \t");
            std::optional<std::uint32_t> kind = Number(arg.substr(0, gap));
            std::optional<std::uint32_t> data =
                gap == std::string_view::npos ? std::nullopt : Number(Trim(arg.substr(gap)));
            if (!kind || !data) return fail("braille-key KIND DATA");
            BrailleKey(*kind, *data, cursor);
        } else if (!extension || !extension(line, cursor)) {
            return fail("unknown command");
        }
    }
    return std::nullopt;
}

}  // namespace sim
