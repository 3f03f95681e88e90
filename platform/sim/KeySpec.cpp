// Key names of scripts and tests, and the characters a US keyboard gives.
#include <array>
#include <string>

#include "platform/cp1252.h"
#include "platform/paths.h"
#include "platform/sim/KeyNames.h"
#include "platform/sim/SimMachine.h"

namespace sim {

namespace {

struct NamedKey {
    const char* name;
    int vk;
};

constexpr std::array<NamedKey, 23> kNamedKeys{{
    {"esc", win::VK_ESCAPE},    {"escape", win::VK_ESCAPE},  {"enter", win::VK_RETURN},
    {"return", win::VK_RETURN}, {"backspace", win::VK_BACK}, {"tab", win::VK_TAB},
    {"space", win::VK_SPACE},   {"up", win::VK_UP},          {"down", win::VK_DOWN},
    {"left", win::VK_LEFT},     {"right", win::VK_RIGHT},    {"home", win::VK_HOME},
    {"end", win::VK_END},       {"pgup", win::VK_PRIOR},     {"pageup", win::VK_PRIOR},
    {"pgdn", win::VK_NEXT},     {"pagedown", win::VK_NEXT},  {"insert", win::VK_INSERT},
    {"ins", win::VK_INSERT},    {"delete", win::VK_DELETE},  {"del", win::VK_DELETE},
    {"pause", win::VK_PAUSE},   {"break", win::VK_PAUSE},
}};

// US layout: the unshifted and shifted character of each printable key.
struct CharKey {
    int vk;
    char plain, shifted;
};
constexpr std::array<CharKey, 21> kCharKeys{{
    {'0', '0', ')'},
    {'1', '1', '!'},
    {'2', '2', '@'},
    {'3', '3', '#'},
    {'4', '4', '$'},
    {'5', '5', '%'},
    {'6', '6', '^'},
    {'7', '7', '&'},
    {'8', '8', '*'},
    {'9', '9', '('},
    {win::VK_OEM_1, ';', ':'},
    {win::VK_OEM_PLUS, '=', '+'},
    {win::VK_OEM_COMMA, ',', '<'},
    {win::VK_OEM_MINUS, '-', '_'},
    {win::VK_OEM_PERIOD, '.', '>'},
    {win::VK_OEM_2, '/', '?'},
    {win::VK_OEM_3, '`', '~'},
    {win::VK_OEM_4, '[', '{'},
    {win::VK_OEM_5, '\\', '|'},
    {win::VK_OEM_6, ']', '}'},
    {win::VK_OEM_7, '\'', '"'},
}};

// The key and shift state that type an ASCII printable character.
std::optional<KeySpec> KeyForAscii(char c) {
    KeySpec k;
    if (c >= 'a' && c <= 'z') {
        k.vk = c - 'a' + 'A';
        return k;
    }
    if (c >= 'A' && c <= 'Z') {
        k.vk = c;
        k.shift = true;
        return k;
    }
    if (c == ' ') {
        k.vk = win::VK_SPACE;
        return k;
    }
    for (const CharKey& ck : kCharKeys) {
        if (ck.plain == c || ck.shifted == c) {
            k.vk = ck.vk;
            k.shift = ck.shifted == c;
            return k;
        }
    }
    return std::nullopt;
}

// One UTF-8 code point that is the whole of `s`, or -1.
long SingleCodePoint(std::string_view s) {
    if (s.empty()) return -1;
    auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    std::size_t len = b(0) < 0x80 ? 1 : (b(0) >> 5) == 6 ? 2 : (b(0) >> 4) == 14 ? 3 : 0;
    if (len == 0 || s.size() != len) return -1;
    if (len == 1) return b(0);
    long cp = len == 2 ? (b(0) & 0x1F) : (b(0) & 0x0F);
    for (std::size_t i = 1; i < len; ++i) {
        if ((b(i) & 0xC0) != 0x80) return -1;
        cp = (cp << 6) | (b(i) & 0x3F);
    }
    return cp;
}

}  // namespace

std::uint8_t UsKeyboardChar(int vk, bool shift, bool ctrl, bool alt) {
    if (ctrl && alt) return 0;
    if (vk == win::VK_CANCEL) return ctrl ? 3 : 0;
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl) return static_cast<std::uint8_t>(vk - 'A' + 1);
        return static_cast<std::uint8_t>(shift ? vk : vk - 'A' + 'a');
    }
    switch (vk) {
        case win::VK_ESCAPE:
            return 27;
        case win::VK_RETURN:
            return 13;
        case win::VK_BACK:
            return 8;
        case win::VK_TAB:
            return 9;
        case win::VK_SPACE:
            return ' ';
        case win::VK_MULTIPLY:
            return '*';
        case win::VK_ADD:
            return '+';
        case win::VK_SUBTRACT:
            return '-';
        case win::VK_DIVIDE:
            return '/';
        default:
            break;
    }
    if (vk >= win::VK_NUMPAD0 && vk <= win::VK_NUMPAD0 + 9)
        return ctrl ? 0 : static_cast<std::uint8_t>('0' + vk - win::VK_NUMPAD0);
    if (ctrl) return 0;
    for (const CharKey& ck : kCharKeys)
        if (ck.vk == vk) return static_cast<std::uint8_t>(shift ? ck.shifted : ck.plain);
    return 0;
}

std::optional<KeySpec> ParseKeySpec(std::string_view name) {
    KeySpec mods;
    // Modifiers end with '+'; a trailing "+" after a '+' is the plus key itself.
    while (true) {
        std::size_t plus = name.find('+');
        if (plus == std::string_view::npos || plus + 1 >= name.size()) break;
        if (plus == 0) break;
        std::string mod = win::FoldCase(name.substr(0, plus));
        if (mod == "ctrl" || mod == "control")
            mods.ctrl = true;
        else if (mod == "alt")
            mods.alt = true;
        else if (mod == "shift")
            mods.shift = true;
        else
            return std::nullopt;
        name.remove_prefix(plus + 1);
    }
    if (name.empty()) return std::nullopt;

    KeySpec key = mods;
    if (name.size() == 1 && static_cast<unsigned char>(name[0]) < 0x80) {
        auto k = KeyForAscii(name[0]);
        if (!k) return std::nullopt;
        key.vk = k->vk;
        key.shift = key.shift || k->shift;
    } else if (long cp = SingleCodePoint(name); cp >= 0x80) {
        int byte = win::CodePointToCp1252(static_cast<char32_t>(cp));
        if (byte < 0x80 || mods.ctrl || mods.alt) return std::nullopt;
        key.vk = 0;
        key.ch = static_cast<std::uint8_t>(byte);
        return key;
    } else {
        std::string folded = win::FoldCase(name);
        for (const NamedKey& nk : kNamedKeys)
            if (folded == nk.name) key.vk = nk.vk;
        if (key.vk == 0 && folded.size() >= 2 && folded[0] == 'f') {
            int n = 0;
            for (std::size_t i = 1; i < folded.size() && n <= 12; ++i) {
                if (folded[i] < '0' || folded[i] > '9') return std::nullopt;
                n = n * 10 + (folded[i] - '0');
            }
            if (n < 1 || n > 12) return std::nullopt;
            key.vk = win::VK_F1 + n - 1;
        }
        if (key.vk == 0) return std::nullopt;
    }
    if (key.vk == win::VK_PAUSE && key.ctrl) key.vk = win::VK_CANCEL;
    key.ch = UsKeyboardChar(key.vk, key.shift, key.ctrl, key.alt);
    return key;
}

}  // namespace sim
