#include "tavena/synth/VoiceDatabase.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace synth {

namespace {

constexpr char kMagic[8] = {'S', 'N', 'R', 'V', 'O', 'I', 'C', 'E'};
constexpr uint64_t kHeaderSize = 32;
constexpr uint64_t kNameSize = 8;
constexpr uint64_t kUnitSize = 24;
constexpr uint64_t kMaxFileSize = uint64_t{1} << 31;  // 2 GB: far beyond any real voice

uint16_t U16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t U32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool Fail(std::string& error, std::string text) {
    error = std::move(text);
    return false;
}

}  // namespace

void VoiceDatabase::Clear() {
    // Fresh vectors: the memory itself is given back, not just emptied.
    rate_ = 0;
    names_ = {};
    units_ = {};
    pairs_ = {};
    marks_ = {};
    samples_ = {};
}

bool VoiceDatabase::LoadFile(const std::string& path, std::string& error) {
    Clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return Fail(error, "cannot open the voice file " + path);
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > kMaxFileSize) {
        return Fail(error, "cannot read the voice file " + path);
    }
    in.seekg(0);
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!in.read(bytes.data(), size)) return Fail(error, "cannot read the voice file " + path);
    return Load(bytes, error);
}

bool VoiceDatabase::Load(std::string_view bytes, std::string& error) {
    Clear();
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const uint64_t size = bytes.size();
    if (size < kHeaderSize) return Fail(error, "voice file too short for its header");
    if (std::memcmp(data, kMagic, sizeof kMagic) != 0) return Fail(error, "not a voice file");
    if (U32(data + 8) != 1) return Fail(error, "unsupported voice file version");
    const uint32_t rate = U32(data + 12);
    const uint64_t phonemes = U32(data + 16);
    const uint64_t diphones = U32(data + 20);
    const uint64_t markCount = U32(data + 24);
    const uint64_t sampleCount = U32(data + 28);
    if (rate < 4000 || rate > 96000) return Fail(error, "voice sample rate out of range");
    if (phonemes < 1 || phonemes > 255) return Fail(error, "voice phoneme count out of range");
    // 64-bit sums of 32-bit counts cannot overflow.
    const uint64_t namesAt = kHeaderSize;
    const uint64_t unitsAt = namesAt + phonemes * kNameSize;
    const uint64_t marksAt = unitsAt + diphones * kUnitSize;
    const uint64_t samplesAt = marksAt + markCount * 4;
    if (samplesAt + sampleCount * 2 != size) {
        return Fail(error, "voice file size does not match its counts");
    }

    std::vector<std::string> names;
    for (uint64_t i = 0; i < phonemes; ++i) {
        const auto* p = data + namesAt + i * kNameSize;
        if (p[7] != 0) return Fail(error, "voice phoneme name too long");
        std::string name(reinterpret_cast<const char*>(p));
        if (name.empty()) return Fail(error, "empty phoneme name in the voice");
        for (unsigned char c : name) {
            if (c <= ' ' || c >= 127 || c == ';') return Fail(error, "bad phoneme name");
        }
        for (const auto& other : names) {
            if (other == name) return Fail(error, "phoneme named twice: " + name);
        }
        names.push_back(std::move(name));
    }

    std::vector<DiphoneUnit> units(diphones);
    std::vector<int32_t> pairs(phonemes * phonemes, -1);
    for (uint64_t i = 0; i < diphones; ++i) {
        const auto* p = data + unitsAt + i * kUnitSize;
        DiphoneUnit& u = units[i];
        u.left = U16(p);
        u.right = U16(p + 2);
        u.firstSample = U32(p + 4);
        u.sampleCount = U32(p + 8);
        u.boundary = U32(p + 12);
        u.firstMark = U32(p + 16);
        u.markCount = U32(p + 20);
        if (u.left >= phonemes || u.right >= phonemes) {
            return Fail(error, "diphone unit names a phoneme the voice lacks");
        }
        if (uint64_t{u.firstSample} + u.sampleCount > sampleCount || u.sampleCount == 0) {
            return Fail(error, "diphone unit samples out of range");
        }
        if (u.boundary > u.sampleCount) return Fail(error, "diphone boundary outside its unit");
        if (uint64_t{u.firstMark} + u.markCount > markCount) {
            return Fail(error, "diphone unit pitch marks out of range");
        }
        int32_t& slot = pairs[u.left * phonemes + u.right];
        if (slot >= 0) return Fail(error, "diphone unit stored twice");
        slot = static_cast<int32_t>(i);
    }

    std::vector<uint32_t> marks(markCount);
    for (uint64_t i = 0; i < markCount; ++i) marks[i] = U32(data + marksAt + i * 4);
    for (const auto& u : units) {
        uint32_t previous = 0;
        for (uint32_t m = 0; m < u.markCount; ++m) {
            const uint32_t at = marks[u.firstMark + m] & ~kVoicedMark;
            if (at >= u.sampleCount) return Fail(error, "pitch mark outside its unit");
            if (m > 0 && at <= previous) return Fail(error, "pitch marks not ascending");
            previous = at;
        }
    }

    std::vector<int16_t> samples(sampleCount);
    for (uint64_t i = 0; i < sampleCount; ++i) {
        samples[i] = static_cast<int16_t>(U16(data + samplesAt + i * 2));
    }

    names_ = std::move(names);
    units_ = std::move(units);
    pairs_ = std::move(pairs);
    marks_ = std::move(marks);
    samples_ = std::move(samples);
    rate_ = rate;
    return true;
}

int VoiceDatabase::FindPhoneme(std::string_view name) const {
    for (size_t i = 0; i < names_.size(); ++i) {
        if (names_[i] == name) return static_cast<int>(i);
    }
    return -1;
}

const DiphoneUnit* VoiceDatabase::Find(int left, int right) const {
    const int count = PhonemeCount();
    if (left < 0 || right < 0 || left >= count || right >= count) return nullptr;
    const int32_t index = pairs_[left * count + right];
    return index < 0 ? nullptr : &units_[index];
}

}  // namespace synth
