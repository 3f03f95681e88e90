// The process object: start and shutdown order, and how RunProgram ends a program.
#include "process/Process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/api.h"
#include "platform/sim/SimMachine.h"

namespace {

class ProcessTest : public ::testing::Test {
  protected:
    ProcessTest() {
        win::SetBackend(&machine);
        sonara::Process::SetStepObserver([this](std::string_view s) { steps.emplace_back(s); });
    }
    ~ProcessTest() override {
        sonara::Process::SetStepObserver({});
        win::SetBackend(nullptr);
    }
    sim::SimMachine machine;
    std::vector<std::string> steps;
};

const std::vector<std::string> kAllSteps = {
    "start Tfwav",       "start DiphoneSynth", "start Tfsapglb", "start Tfsapi4", "start TfSapi5",
    "start TFSAPI54",    "start Tfsapi",       "start TfMouse",  "start TfCrt",   "start TfFocus80",
    "start TfAmplia",    "stop TfAmplia",      "stop TfFocus80", "stop TfCrt",    "stop TfMouse",
    "stop Tfsapi",       "stop TFSAPI54",      "stop TfSapi5",   "stop Tfsapi4",  "stop Tfsapglb",
    "stop DiphoneSynth", "stop Tfwav"};

TEST_F(ProcessTest, ModulesStartInOrderAndShutDownInReverse) {
    bool sawEverything = false;
    int code = sonara::RunProgram([&] {
        EXPECT_EQ(steps.size(), 11u);
        // The diphone synthesizer's start set its timing and cleared both wave flags.
        ASSERT_NE(sonara::DiphoneSynth::Current(), nullptr);
        EXPECT_EQ(sonara::DiphoneSynth::Current()->Cut(), 400);
        EXPECT_EQ(sonara::DiphoneSynth::Current()->Minimum(), 0);
        EXPECT_EQ(sonara::DiphoneSynth::Current()->WordPause(), 100);
        EXPECT_FALSE(sonara::Tfwav::Current()->FastSpeech());
        EXPECT_FALSE(sonara::Tfwav::Current()->HighRate());
        EXPECT_TRUE(sonara::Tfwav::Current()->StopOnKey());
        EXPECT_EQ(sonara::Tfsapglb::Current()->DispatchType(), 5);
        // The SAPI back ends are installed for their types; COM is initialised.
        sonara::Process& p = sonara::CurrentProcess();
        sonara::Tfsapglb& dispatch = *sonara::Tfsapglb::Current();
        EXPECT_EQ(&dispatch.BackendFor(4), &p.tfsapi4.module);
        EXPECT_EQ(&dispatch.BackendFor(5), &p.tfSapi5.module);
        EXPECT_EQ(&dispatch.BackendFor(0), &p.tfSapi5.module);
        EXPECT_EQ(&dispatch.BackendFor(54), &p.tfsapi54.module);
        EXPECT_EQ(machine.SpeechCalls(), std::vector<std::string>{"com CoInitialize"});
        EXPECT_TRUE(sonara::Tfsapi::Current()->ServerPending);
        // The facade's legacy lookup is on and mouse keys are on before the program runs.
        ASSERT_NE(sonara::Tfsapi::Current(), nullptr);
        EXPECT_TRUE(sonara::Tfsapi::Current()->LegacyLookup());
        ASSERT_NE(sonara::TfMouse::Current(), nullptr);
        EXPECT_TRUE(sonara::TfMouse::Current()->MouseKeys());
        EXPECT_EQ(sonara::TfCrt::Current(), &sonara::CurrentProcess().crt.module);
        EXPECT_FALSE(sonara::TfCrt::Current()->Created());  // the window comes lazily
        sawEverything = true;
    });
    EXPECT_TRUE(sawEverything);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(steps, kAllSteps);
    EXPECT_EQ(sonara::TfCrt::Current(), nullptr);
    EXPECT_EQ(sonara::Tfsapi::Current(), nullptr);
}

TEST_F(ProcessTest, DoneConsoleAndExitProcessGiveTheirExitCodeAfterShutdown) {
    bool after = false;
    int code = sonara::RunProgram([&] {
        sonara::InitConsole();
        sonara::DoneConsole();
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(steps, kAllSteps);
    steps.clear();
    code = sonara::RunProgram([&] {
        win::ExitProcess(3);
        after = true;
    });
    EXPECT_EQ(code, 3);
    EXPECT_FALSE(after);
    EXPECT_EQ(steps, kAllSteps);
}

TEST_F(ProcessTest, ClosingTheWindowDuringAKeyWaitEndsTheProgram) {
    ASSERT_FALSE(machine.LoadScript("wait 100\nclose\nwait 100\nkey a").has_value());
    bool returned = false;
    int code = sonara::RunProgram([&] {
        sonara::ReadKey();
        returned = true;
    });
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(returned);
}

TEST_F(ProcessTest, AWaitNothingCanEndPropagatesAfterShutdown) {
    EXPECT_THROW(sonara::RunProgram([] { sonara::ReadKey(); }), sim::SimStopped);
    EXPECT_EQ(steps, kAllSteps);
    EXPECT_EQ(sonara::TfCrt::Current(), nullptr);
}

}  // namespace
