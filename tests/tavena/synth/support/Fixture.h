// A test with the built library opened and the standard test voice loaded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SynthLibrary.h"
#include "TestVoice.h"

namespace synthtest {

class SynthTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(lib.Open(error)) << error;
        voicePath = WriteVoiceFile(StandardVoice().Bytes(), "standard.voice");
        ASSERT_EQ(lib.init_MBR(voicePath.c_str()), 0) << lib.LastErrorText();
    }

    // Writes each line, flushes and reads everything.
    std::vector<short> Speak(const std::vector<std::string>& lines) {
        for (const auto& line : lines) {
            EXPECT_GE(lib.write_MBR((line + "\r\n").c_str()), 0)
                << line << ": " << lib.LastErrorText();
        }
        lib.flush_MBR();
        return lib.ReadAll();
    }

    SynthLibrary lib;
    std::string voicePath;
};

}  // namespace synthtest
