// TfCrt: the braille chord keyboard on the ordinary keys, its modes, and the square-wave
// tones that confirm a mode change.
#include <algorithm>
#include <cstring>

#include "console/TfCrt.h"
#include "platform/api.h"

namespace sonara {

namespace {

constexpr std::uint8_t kNoCharacter = 254;
constexpr std::uint8_t kCapitalSign = '{';
constexpr std::uint8_t kNumberSign = '#';

// The character of each dot pattern 0..63 (dot n is bit n - 1), Windows-1252.
constexpr std::uint8_t kBrailleKeys[64] = {' ',  'a',  ',',  'b',  '\'', 'k', ';',  'l',    // 0-7
                                           '^',  'c',  'i',  'f',  0xED, 'm', 's',  'p',    // 8-15
                                           '~',  'e',  ':',  'h',  '*',  'o', '!',  'r',    // 16-23
                                           0xAC, 'd',  'j',  'g',  0xE3, 'n', 't',  'q',    // 24-31
                                           0xFD, 0xE2, '?',  0xEA, '-',  'u', '"',  'v',    // 32-39
                                           '{',  0xEE, 0xF5, 0xE0, 0xF3, 'x', 0xE8, 0xE7,   // 40-47
                                           '$',  0xFB, 0xFF, 0xFC, '}',  'z', '=',  0xE1,   // 48-55
                                           '_',  0xF4, 'w',  0xEF, '#',  'y', 0xFA, 0xE9};  // 56-63

void PutLE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void PutLE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

void TfCrt::CompleteChord() {
    std::uint8_t r;
    if (chord_ & 64) {
        number_mode_ = capital_next_ = caps_lock_ = false;
        // The space bar with dots gives a control character: with the dots of c, 3.
        r = chord_ == 64 ? ' ' : static_cast<std::uint8_t>(kBrailleKeys[chord_ & 63] & 31);
    } else {
        r = kBrailleKeys[chord_ & 63];
        if (braille_mode_ == 2) r = SignsStep(r);
    }
    if (r != kNoCharacter && key_count_ <= kQueueSize - 1) AppendKey(&r, 1);
    chord_ = 0;
}

// Mode 2: the capital and number signs, and the full stop and at sign.
std::uint8_t TfCrt::SignsStep(std::uint8_t r) {
    if (r == '\'') r = '.';
    if (r == 0xFB) r = '@';
    if (number_mode_) {
        if (r >= 'a' && r <= 'i')
            r = static_cast<std::uint8_t>('1' + (r - 'a'));
        else if (r == 'j')
            r = '0';
        else if (r == '~')
            number_mode_ = false;
    }
    if ((capital_next_ || caps_lock_) && r >= 'a' && r <= 'z')
        r = static_cast<std::uint8_t>(r - 32);
    if (r == kNumberSign) {
        number_mode_ = true;
        return kNoCharacter;
    }
    if (r == kCapitalSign) {
        if (capital_next_) caps_lock_ = true;
        capital_next_ = true;
        return kNoCharacter;
    }
    capital_next_ = false;
    return r;
}

void TfCrt::SetBrailleMode(int mode) {
    if (mode > 2) mode = 1;
    if (mode <= 0) {
        chord_ = chord_keys_down_ = 0;
        capital_next_ = caps_lock_ = number_mode_ = false;
        if (braille_mode_ != 0) PlayModeTone(100);
        braille_mode_ = 0;
        return;
    }
    PlayModeTone(800);
    PlayModeTone(mode == 1 ? 1600 : 400);
    braille_mode_ = mode;
}

void TfCrt::PlayModeTone(std::uint16_t frequency) {
    StartTone(frequency);
    Delay(200);
    StopTone();
}

// One second of 8-bit mono 11025 Hz square wave, looping: each period h samples of 96
// then p - h + 1 of 160 (the last overwritten by the next period), ending in silence.
void TfCrt::StartTone(std::uint16_t frequency) {
    StopTone();
    if (frequency == 0) return;  // no period: nothing to play
    tone_.assign(11071, 0);
    const std::uint32_t f = frequency;
    const std::uint32_t p = 11025 / f;
    const std::uint32_t h = p / 2;
    std::uint32_t e = 44;
    for (std::uint32_t k = 0;; ++k) {
        e = 44 + (k * 11025) / f;
        if (e > 11025 - p) break;
        std::fill_n(tone_.begin() + e, h, 96);
        std::fill_n(tone_.begin() + e + h, p - h + 1, 160);
    }
    tone_[e - 1] = 128;
    std::uint8_t* hdr = tone_.data();
    std::memcpy(hdr, "RIFF", 4);
    PutLE32(hdr + 4, (e - 44) + 36);
    std::memcpy(hdr + 8, "WAVEfmt ", 8);
    PutLE32(hdr + 16, 16);
    PutLE16(hdr + 20, 1);
    PutLE16(hdr + 22, 1);
    PutLE32(hdr + 24, 11025);
    PutLE32(hdr + 28, 11025);
    PutLE16(hdr + 32, 1);
    PutLE16(hdr + 34, 8);
    std::memcpy(hdr + 36, "data", 4);
    PutLE32(hdr + 40, e - 44);
    win::sndPlaySoundA(reinterpret_cast<const char*>(tone_.data()),
                       win::SND_ASYNC | win::SND_MEMORY | win::SND_LOOP);
}

void TfCrt::StopTone() {
    if (tone_.empty()) return;
    win::sndPlaySoundA(nullptr, win::SND_ASYNC);
    tone_.clear();  // keeps its storage for the next tone
}

}  // namespace sonara
