// Voice files the library must refuse: init_MBR answers negative, nothing is trusted.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "support/SynthLibrary.h"
#include "support/TestVoice.h"

namespace synthtest {
namespace {

class SynthVoiceFile : public testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(lib.Open(error)) << error;
        good = StandardVoice().Bytes();
    }
    int Init(const std::string& bytes) {
        return lib.init_MBR(WriteVoiceFile(bytes, "case.voice").c_str());
    }
    static void Put32(std::string& bytes, size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
    }
    static uint32_t Get32(const std::string& bytes, size_t at) {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t(uint8_t(bytes[at + i])) << (8 * i);
        return v;
    }
    // Offsets of the first unit's fields, and of the first pitch mark.
    size_t Unit(size_t field) const { return 32 + 8 * Get32(good, 16) + field; }
    size_t FirstMark() const { return 32 + 8 * Get32(good, 16) + 24 * Get32(good, 20); }

    SynthLibrary lib;
    std::string good;
};

TEST_F(SynthVoiceFile, AGoodVoiceLoadsAndDescribesItself) {
    ASSERT_EQ(Init(good), 0);
    char text[128];
    EXPECT_GT(lib.getDatabaseInfo_MBR(text, sizeof text, 1), 0);
    EXPECT_STREQ(text, "sample rate 16000 Hz");
    lib.getDatabaseInfo_MBR(text, sizeof text, 2);
    EXPECT_STREQ(text, "phonemes 6");
    lib.getDatabaseInfo_MBR(text, sizeof text, 3);
    EXPECT_STREQ(text, "diphones 27");
    EXPECT_LT(lib.getDatabaseInfo_MBR(text, sizeof text, 4), 0);
    EXPECT_EQ(lib.getFreq_MBR(), 16000);
}

TEST_F(SynthVoiceFile, DamagedVoicesAreRefused) {
    const std::vector<std::pair<std::string, std::function<void(std::string&)>>> cases = {
        {"empty", [](std::string& b) { b.clear(); }},
        {"header cut", [](std::string& b) { b.resize(20); }},
        {"one byte short", [](std::string& b) { b.pop_back(); }},
        {"one byte too many", [](std::string& b) { b.push_back(0); }},
        {"bad magic", [](std::string& b) { b[0] = 'X'; }},
        {"version 2", [](std::string& b) { Put32(b, 8, 2); }},
        {"rate 0", [](std::string& b) { Put32(b, 12, 0); }},
        {"no phonemes", [](std::string& b) { Put32(b, 16, 0); }},
        {"256 phonemes", [](std::string& b) { Put32(b, 16, 256); }},
        {"one diphone more", [&](std::string& b) { Put32(b, 20, Get32(b, 20) + 1); }},
        {"huge diphone count", [](std::string& b) { Put32(b, 20, 0xFFFFFFFF); }},
        {"huge mark count", [](std::string& b) { Put32(b, 24, 0xFFFFFFF0); }},
        {"huge sample count", [](std::string& b) { Put32(b, 28, 0x7FFFFFFF); }},
        {"name without its zero", [](std::string& b) { std::memset(&b[32], 'n', 8); }},
        {"empty name", [](std::string& b) { b[32 + 8] = 0; }},
        {"same name twice", [](std::string& b) { std::memcpy(&b[32 + 8], "i\0", 2); }},
        {"unit names phoneme 9", [&](std::string& b) { b[Unit(0)] = 9; }},
        {"unit samples past the end", [&](std::string& b) { Put32(b, Unit(4), 0xFFFFFF00); }},
        {"unit longer than the samples", [&](std::string& b) { Put32(b, Unit(8), 0x7FFFFFFF); }},
        {"empty unit", [&](std::string& b) { Put32(b, Unit(8), 0); }},
        {"boundary outside the unit", [&](std::string& b) { Put32(b, Unit(12), 1601); }},
        {"marks past the end", [&](std::string& b) { Put32(b, Unit(16), 0xFFFFFFF0); }},
        {"too many marks", [&](std::string& b) { Put32(b, Unit(20), 0x10000000); }},
        {"pair stored twice", [&](std::string& b) { std::memcpy(&b[Unit(24)], &b[Unit(0)], 4); }},
        {"mark outside its unit", [&](std::string& b) { Put32(b, FirstMark(), 5000); }},
        {"marks not ascending",
         [&](std::string& b) { Put32(b, FirstMark(), Get32(b, FirstMark() + 4) + 1); }},
    };
    for (const auto& [why, damage] : cases) {
        std::string bytes = good;
        damage(bytes);
        EXPECT_LT(Init(bytes), 0) << why;
        EXPECT_EQ(lib.lastError_MBR(), 2) << why;
        EXPECT_LT(lib.write_MBR("a 100\r\n"), 0) << why << ": no voice is open after a failure";
    }
    EXPECT_EQ(Init(good), 0) << "the same library loads a good voice afterwards";
}

TEST_F(SynthVoiceFile, AMissingFileIsRefused) {
    EXPECT_LT(lib.init_MBR("/nonexistent/folder/br4"), 0);
    EXPECT_NE(lib.LastErrorText().find("/nonexistent/folder/br4"), std::string::npos);
    EXPECT_LT(lib.init_MBR(testing::TempDir().c_str()), 0) << "a folder is not a voice";
    EXPECT_LT(lib.init_MBR(nullptr), 0);
}

TEST_F(SynthVoiceFile, RenamesAndClonesAreNotSupported) {
    const std::string path = WriteVoiceFile(good, "rename.voice");
    EXPECT_LT(lib.init_rename_MBR(path.c_str(), "a A", nullptr), 0);
    EXPECT_EQ(lib.lastError_MBR(), 8);
    EXPECT_EQ(lib.init_rename_MBR(path.c_str(), "", nullptr), 0);
    EXPECT_EQ(lib.init_rename_MBR(path.c_str(), nullptr, nullptr), 0);
}

}  // namespace
}  // namespace synthtest
