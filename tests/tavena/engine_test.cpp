// The Tavena engine on the simulated machine with a fake synthesizer library: loading
// the library, set-up steps and their errors, the calls of a speak in order, the pieces
// handed to the wave output, file mode, recovery after a failing library, and the glue.
#include <gtest/gtest.h>

#include <memory>

#include "console/TfCrt.h"
#include "platform/api.h"
#include "process/Process.h"
#include "speech/tfsapglb.h"
#include "speech/tfsapi.h"
#include "speech/tfsapi_startup.h"
#include "support/FakeMbrola.h"
#include "support/TavenaTestData.h"
#include "tavena/TavenaGlue.h"

namespace {

using Strings = std::vector<std::string>;
using tavena_test::Fake;
using tavena_test::W;

constexpr char kDataDir[] = "c:\\tecfal\\tavenatts\\";
constexpr char kBr4Key[] = "SOFTWARE\\TCTS\\Mbrola\\databases\\BR4";

std::uint32_t Le32(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}
std::uint16_t Le16(const std::string& s, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) |
                                      (static_cast<unsigned char>(s[at + 1]) << 8));
}

class Engine : public ::testing::Test {
  protected:
    Engine() {
        tavena_test::ResetFake();
        win::SetBackend(&machine);
        machine.AddDirectory("c:\\windows");
        AddData(kDataDir);
    }
    ~Engine() override {
        process.reset();
        win::SetBackend(nullptr);
    }
    void AddData(const std::string& dir) {
        machine.AddFile(dir + "portug.nrl", tavena_test::RulesFile());
        machine.AddFile(dir + "portug.exc", tavena_test::ExceptionsFile());
        machine.AddFile(dir + "portug.abr", tavena_test::AbbreviationsFile());
        machine.AddFile(dir + "portug.pro", tavena_test::ProsodyFile());
        machine.AddFile(dir + "portug.dfn", tavena_test::DiphonesFile());
    }
    // The process starts here, after the test put its ini, registry and library in place.
    void Start(const std::string& ini = "") {
        machine.AddFile("c:\\windows\\Sonara.ini", ini);
        process = std::make_unique<sonara::Process>();
        sonara::InitConsole();
    }
    sonara::TavenaEngine& E() { return sonara::TavenaGlue::Current()->Engine(); }
    // Installs the fake, starts and sets the engine up to play.
    void Ready(const std::string& ini = "") {
        tavena_test::InstallFakeMbrola(machine);
        Start(ini);
        ASSERT_TRUE(sonara::TavenaStart(0, 0, 0, ""));
        Fake().calls.clear();
    }
    Strings LibraryEvents() const {
        Strings out;
        for (const auto& e : machine.Events()) {
            if (e.kind == "library" && e.detail.find("mbrola") != std::string::npos)
                out.push_back(e.detail);
        }
        return out;
    }
    // The pieces handed to the wave output, from the blocks the device was given: a piece
    // is a run of full 8192-byte blocks ended by a shorter one.
    std::vector<std::size_t> Pieces() const {
        std::vector<std::size_t> pieces;
        std::size_t run = 0;
        for (const auto& w : machine.WaveWrites()) {
            run += w.bytes.size();
            if (w.bytes.size() < 8192) {
                pieces.push_back(run);
                run = 0;
            }
        }
        if (run > 0) pieces.push_back(run);
        return pieces;
    }
    std::string Played() const {
        std::string all;
        for (const auto& w : machine.WaveWrites()) all += w.bytes;
        return all;
    }

    sim::SimMachine machine;
    std::unique_ptr<sonara::Process> process;
};

// ---- Loading the library ----

TEST_F(Engine, TheLibraryIsLookedForInTheProgramDirectoryThenTheTwoFixedPlaces) {
    machine.SetModuleFileName("c:\\jogos\\pipoco\\pipoco.exe");
    Start();
    EXPECT_FALSE(sonara::TavenaStart(0, 0, 0, ""));
    EXPECT_EQ(LibraryEvents(),
              (Strings{"load c:\\jogos\\pipoco\\mbrola.dll", "load c:\\tecfal\\mbrola.dll",
                       "load c:\\tecfal\\tavenatts\\mbrola.dll"}));
    EXPECT_EQ(E().EngineError(), "");
    EXPECT_FALSE(E().LibraryLoaded());
    // No library: speaking does nothing and says so.
    EXPECT_FALSE(sonara::EngineSpeak("casa"));
    EXPECT_TRUE(machine.WaveWrites().empty());
}

TEST_F(Engine, AMissingEntryPointFreesTheLibraryBeforeAnyCall) {
    for (const char* missing : {"init_MBR", "setParser_MBR", "appendf0_Phone"}) {
        SCOPED_TRACE(missing);
        sim::SimMachine fresh;
        win::SetBackend(&fresh);
        tavena_test::ResetFake();
        tavena_test::InstallFakeMbrola(fresh, missing);
        auto p = std::make_unique<sonara::Process>();
        EXPECT_FALSE(sonara::TavenaStart(0, 0, 0, ""));
        EXPECT_TRUE(Fake().calls.empty());
        Strings events;
        for (const auto& e : fresh.Events()) {
            if (e.kind == "library" && e.detail.find("mbrola") != std::string::npos)
                events.push_back(e.detail);
        }
        // Found at the first place, freed, and no other place tried.
        EXPECT_EQ(events, (Strings{"load c:\\sonara\\mbrola.dll", "free mbrola.dll"}));
        EXPECT_FALSE(sonara::TavenaGlue::Current()->Engine().LibraryLoaded());
        p.reset();
    }
    win::SetBackend(&machine);
}

TEST_F(Engine, AFailingInitUnloadsTheLibraryWithoutAMessage) {
    tavena_test::InstallFakeMbrola(machine);
    Fake().initResults = {-1};
    Start();
    EXPECT_FALSE(sonara::TavenaStart(0, 0, 0, ""));
    EXPECT_EQ(Fake().calls, (Strings{"init_MBR c:\\tecfal\\tavenatts\\br4"}));
    EXPECT_EQ(LibraryEvents().back(), "free mbrola.dll");
    EXPECT_FALSE(E().LibraryLoaded());
    EXPECT_EQ(E().EngineError(), "");
}

// ---- Settings and set-up ----

TEST_F(Engine, ARegisteredBr4PathGivesTheDataDirectoryAndTheDatabase) {
    machine.SetRegistryString(win::HKEY_LOCAL_MACHINE, kBr4Key, "", "C:\\voz\\br4\\br4");
    AddData("c:\\voz\\br4\\");
    tavena_test::InstallFakeMbrola(machine);
    Start();
    const sonara::TavenaSettings& s = sonara::TavenaGlue::Current()->Settings();
    EXPECT_EQ(s.dataDir, "C:\\voz\\br4\\");
    EXPECT_EQ(s.rules, "C:\\voz\\br4\\portug.nrl");
    EXPECT_EQ(s.diphones, "C:\\voz\\br4\\portug.dfn");
    ASSERT_TRUE(sonara::TavenaStart(0, 0, 0, ""));
    EXPECT_EQ(E().DatabasePath(), "C:\\voz\\br4\\br4");
    EXPECT_EQ(Fake().calls, (Strings{"init_MBR C:\\voz\\br4\\br4", "setNoError_MBR 0"}));
}

TEST_F(Engine, IniKeysNameTheDatabaseDirectoryAndBase) {
    machine.SetRegistryString(win::HKEY_LOCAL_MACHINE, "SOFTWARE\\TCTS\\Mbrola\\databases\\br9", "",
                              "d:\\vozes\\br9");
    tavena_test::InstallFakeMbrola(machine);
    Start("[TAVENATTS]\r\nMBROLA_DB=br9\r\nDIR=c:\\dados\r\nBASE=fala\r\n");
    const sonara::TavenaSettings& s = sonara::TavenaGlue::Current()->Settings();
    EXPECT_EQ(s.database, "br9");
    EXPECT_EQ(s.rules, "c:\\dados\\fala.nrl");
    EXPECT_EQ(s.prosody, "c:\\dados\\fala.pro");
    machine.AddFile("c:\\dados\\fala.nrl", tavena_test::RulesFile());
    machine.AddFile("c:\\dados\\fala.exc", "");
    machine.AddFile("c:\\dados\\fala.abr", "");
    machine.AddFile("c:\\dados\\fala.pro", tavena_test::ProsodyFile());
    machine.AddFile("c:\\dados\\fala.dfn", "");
    EXPECT_TRUE(sonara::TavenaStart(0, 0, 0, ""));
    EXPECT_EQ(E().DatabasePath(), "d:\\vozes\\br9");
}

TEST_F(Engine, NoRegistryGivesTheBundledPlaces) {
    Start();
    const sonara::TavenaSettings& s = sonara::TavenaGlue::Current()->Settings();
    EXPECT_EQ(s.database, "br4");
    EXPECT_EQ(s.abbreviations, "\\tecfal\\tavenatts\\portug.abr");
}

TEST_F(Engine, EachDataFileHasItsErrorAndTheLibraryStaysReady) {
    const std::pair<const char*, const char*> cases[] = {
        {"portug.nrl", "Erro na base de dados de português"},
        {"portug.exc", "Erro na base de dados de português"},
        {"portug.abr", "Erro no arquivo de abreviaturas"},
        {"portug.pro", "Erro no arquivo de prosódia"},
        {"portug.dfn", "Erro no arquivo de prosódia"},
    };
    tavena_test::InstallFakeMbrola(machine);
    Start();
    for (const auto& [file, error] : cases) {
        SCOPED_TRACE(file);
        AddData(kDataDir);
        machine.RemoveFile(std::string(kDataDir) + file);
        EXPECT_FALSE(sonara::TavenaStart(0, 0, 0, ""));
        EXPECT_EQ(E().EngineError(), W(error));
        EXPECT_TRUE(E().LibraryLoaded());
    }
    // A later success keeps the last error text.
    AddData(kDataDir);
    EXPECT_TRUE(sonara::TavenaStart(0, 0, 0, ""));
    EXPECT_EQ(E().EngineError(), W("Erro no arquivo de prosódia"));
}

TEST_F(Engine, FactorsComeFromPitchAndSpeedWhetherOrNotTheStartWorked) {
    Start();
    EXPECT_FALSE(sonara::TavenaStart(0, 3, 11, ""));
    EXPECT_DOUBLE_EQ(E().PitchFactor(), 2.0);
    EXPECT_DOUBLE_EQ(E().DurationFactor(), 0.6);
    sonara::TavenaStart(7, 0, 0, "");
    EXPECT_DOUBLE_EQ(E().PitchFactor(), 1.0);
    EXPECT_DOUBLE_EQ(E().DurationFactor(), 0.8);
    sonara::TavenaStart(0, 10, -5, "");
    EXPECT_DOUBLE_EQ(E().PitchFactor(), 6.0 / 11.0);
    EXPECT_DOUBLE_EQ(E().DurationFactor(), 0.8 - 10.0 / 15.0);
}

// ---- Speaking ----

TEST_F(Engine, ABlankTextTouchesNeitherTheLibraryNorTheWaveOutput) {
    Ready();
    EXPECT_TRUE(sonara::EngineSpeak(""));
    EXPECT_TRUE(sonara::EngineSpeak(" \t\r\n\x01 "));
    EXPECT_TRUE(Fake().calls.empty());
    EXPECT_TRUE(machine.WaveWrites().empty());
}

TEST_F(Engine, ATextIsResetThenWrittenLineByLineAndFlushedAfterTheLast) {
    Ready();
    sonara::TavenaData data;
    tavena_test::LoadAll(data);
    sonara::TextPipeline pipeline(data);
    const Strings lines = pipeline.PhonemeLines("O Sr. acha 2 casas.", 1.0, 0.8);
    ASSERT_GT(lines.size(), 3u);
    Strings expected = {"reset_MBR", "setNoError_MBR -63"};
    for (const std::string& line : lines) {
        if (!line.empty()) expected.push_back("write_MBR " + line + "\r\n");
    }
    expected.push_back("flush_MBR");
    EXPECT_TRUE(sonara::EngineSpeak("O Sr. acha 2 casas."));
    EXPECT_EQ(Fake().CallsButReads(), expected);
    // Every read asks for the staging buffer's 64000 samples.
    for (const std::string& c : Fake().calls) {
        if (c.rfind("read_MBR", 0) == 0) {
            EXPECT_EQ(c.substr(0, 15), "read_MBR 64000 ");
        }
    }
}

TEST_F(Engine, AnEmptyLastLineIsWrittenAsABareLineBreakAndFlushed) {
    Ready();
    EXPECT_TRUE(E().SpeakLines({"a 100", "", "b 80 50 120", ""}));
    EXPECT_EQ(Fake().CallsButReads(),
              (Strings{"reset_MBR", "setNoError_MBR -63", "write_MBR a 100\r\n",
                       "write_MBR b 80 50 120\r\n", "write_MBR \r\n", "flush_MBR"}));
}

TEST_F(Engine, AShortSoundIsPlayedAs256BytesEndingInZeros) {
    Ready();
    Fake().samplesOnFlush = 50;
    EXPECT_TRUE(E().SpeakLines({"a 3"}));
    ASSERT_EQ(machine.WaveWrites().size(), 1u);
    const std::string played = Played();
    ASSERT_EQ(played.size(), 256u);
    EXPECT_EQ(Le16(played, 0), 1000);
    EXPECT_EQ(Le16(played, 98), 1000);
    EXPECT_EQ(played.substr(100), std::string(156, '\0'));
    EXPECT_NE(machine.Events().end(),
              std::find_if(machine.Events().begin(), machine.Events().end(), [](const auto& e) {
                  return e.kind == "wave" && e.detail == "256 16000/16/1";
              }));

    // 128 samples are exactly the minimum: nothing is added.
    machine.ClearRecords();
    Fake().samplesOnFlush = 128;
    Fake().sampleValue = -1;
    EXPECT_TRUE(E().SpeakLines({"a 8"}));
    EXPECT_EQ(Played(), std::string(256, '\xFF'));
}

TEST_F(Engine, SoundIsPlayedInPiecesBelow64000Bytes) {
    Ready();
    Fake().samplesPerWrite = 10000;  // 20000 bytes a line
    EXPECT_TRUE(E().SpeakLines(Strings(10, "a 625")));
    // 200000 bytes: three pieces of 60000 (the fourth read would reach 64000) and the rest.
    EXPECT_EQ(Pieces(), (std::vector<std::size_t>{60000, 60000, 60000, 20000}));
    const std::string played = Played();
    ASSERT_EQ(played.size(), 200000u);
    for (std::size_t i = 0; i < played.size(); i += 2) {
        if (Le16(played, i) != 1000) {
            ADD_FAILURE() << "sample " << i / 2;
            break;
        }
    }

    // A single read of 64000 samples is played whole, and never after an empty piece.
    machine.ClearRecords();
    Fake().samplesPerWrite = 0;
    Fake().samplesOnFlush = 64000 + 100;
    EXPECT_TRUE(E().SpeakLines({"a 4000"}));
    EXPECT_EQ(Pieces(), (std::vector<std::size_t>{128000, 256}));
}

TEST_F(Engine, TheWaveFlagsAreOffWhileSpeakingAndRestoredAfter) {
    Ready();
    sonara::Tfwav::Current()->SetHighRate(true);
    sonara::Tfwav::Current()->SetFastSpeech(true);
    Fake().samplesOnFlush = 3000;
    EXPECT_TRUE(E().SpeakLines({"a 200"}));
    EXPECT_EQ(Played().size(), 6000u);  // unchanged by rate or period dropping
    EXPECT_TRUE(sonara::Tfwav::Current()->HighRate());
    EXPECT_TRUE(sonara::Tfwav::Current()->FastSpeech());
}

TEST_F(Engine, TheTraceFileGetsEachTextsLinesAndASeparator) {
    Ready();
    machine.AddFile("c:\\trace.txt", "antes\r\n");
    E().SetTraceFile("c:\\trace.txt");
    E().SpeakLines({"a 100", "_ 50"});
    E().SpeakLines({"b 70"});
    const std::string sep = ";" + std::string(39, '-') + "\r\n";
    EXPECT_EQ(win::ReadWholeFile("c:\\trace.txt"),
              "antes\r\na 100\r\n_ 50\r\n" + sep + "b 70\r\n" + sep);
}

// ---- File mode ----

TEST_F(Engine, FileModeWritesAWavWhoseHeaderIsCompletedAtClose) {
    tavena_test::InstallFakeMbrola(machine);
    machine.AddDirectory("c:\\saida");
    Start();
    ASSERT_TRUE(sonara::TavenaStart(0, 0, 0, "c:\\saida\\fala.wav"));
    EXPECT_TRUE(E().WritingToFile());
    std::string file = win::ReadWholeFile("c:\\saida\\fala.wav").value_or("");
    ASSERT_EQ(file.size(), 44u);
    EXPECT_EQ(Le32(file, 4), 36u);
    EXPECT_EQ(Le32(file, 40), 0u);
    // No setNoError_MBR(0) in file mode.
    EXPECT_EQ(Fake().calls, (Strings{"init_MBR c:\\tecfal\\tavenatts\\br4"}));

    Fake().samplesPerWrite = 40000;  // bigger than a piece: files take whole reads
    EXPECT_TRUE(sonara::EngineSpeak("casa"));
    EXPECT_FALSE(sonara::EngineIsPlaying());
    EXPECT_TRUE(machine.WaveWrites().empty());
    sonara::EngineStop();  // nothing to stop
    sonara::EngineClose();
    file = win::ReadWholeFile("c:\\saida\\fala.wav").value_or("");
    ASSERT_GT(file.size(), 44u + 80000u);
    const std::uint32_t data = static_cast<std::uint32_t>(file.size() - 44);
    EXPECT_EQ(file.substr(0, 4), "RIFF");
    EXPECT_EQ(Le32(file, 4), data + 36);
    EXPECT_EQ(file.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le32(file, 16), 16u);
    EXPECT_EQ(Le16(file, 20), 1);
    EXPECT_EQ(Le16(file, 22), 1);
    EXPECT_EQ(Le32(file, 24), 16000u);
    EXPECT_EQ(Le32(file, 28), 32000u);
    EXPECT_EQ(Le16(file, 32), 2);
    EXPECT_EQ(Le16(file, 34), 16);
    EXPECT_EQ(file.substr(36, 4), "data");
    EXPECT_EQ(Le32(file, 40), data);
    EXPECT_EQ(Le16(file, 44), 1000);
    EXPECT_EQ(Fake().calls.back(), "close_MBR");
    EXPECT_EQ(LibraryEvents().back(), "free mbrola.dll");
    EXPECT_TRUE(E().WritingToFile());  // until the next set-up
}

TEST_F(Engine, AProgramEndingWithoutCloseStillCompletesTheFileAndReleasesTheDatabase) {
    tavena_test::InstallFakeMbrola(machine);
    machine.AddDirectory("c:\\saida");
    Start();
    ASSERT_TRUE(sonara::TavenaStart(0, 0, 0, "c:\\saida\\fala.wav"));
    Fake().samplesOnFlush = 300;
    EXPECT_TRUE(sonara::EngineSpeak("casa"));
    process.reset();
    const std::string file = win::ReadWholeFile("c:\\saida\\fala.wav").value_or("");
    ASSERT_EQ(file.size(), 44u + 600u);
    EXPECT_EQ(Le32(file, 4), 600u + 36u);
    EXPECT_EQ(Le32(file, 40), 600u);
    EXPECT_EQ(Fake().calls.back(), "close_MBR");
    EXPECT_EQ(LibraryEvents().back(), "free mbrola.dll");
}

TEST_F(Engine, FileModeFailuresAreReported) {
    tavena_test::InstallFakeMbrola(machine);
    Start();
    // A folder that does not exist: false, no text.
    EXPECT_FALSE(sonara::TavenaStart(0, 0, 0, "c:\\nada\\fala.wav"));
    EXPECT_EQ(E().EngineError(), "");
    EXPECT_FALSE(E().WritingToFile());
    // The header does not fit: the text, and the file is closed.
    machine.AddDirectory("c:\\saida");
    machine.AddFile("c:\\saida\\cheio.wav", "");
    machine.LimitFileSize("c:\\saida\\cheio.wav", 20);
    EXPECT_FALSE(sonara::TavenaStart(0, 0, 0, "c:\\saida\\cheio.wav"));
    EXPECT_EQ(E().EngineError(), W("Arquivo de saída não pode ser criado"));
    EXPECT_FALSE(E().WritingToFile());
    // Room for the header and a little sound: the speak goes on to the end and says false.
    machine.LimitFileSize("c:\\saida\\cheio.wav", 44 + 100);
    ASSERT_TRUE(sonara::TavenaStart(0, 0, 0, "c:\\saida\\cheio.wav"));
    Fake().calls.clear();
    Fake().samplesPerWrite = 500;
    EXPECT_FALSE(E().SpeakLines({"a 10", "b 10", "c 10"}));
    EXPECT_EQ(Fake().CallsButReads().size(), 2u + 3u + 1u);
}

// ---- Recovery ----

TEST_F(Engine, AFailingWriteReloadsTheLibraryAndTheSpeakGoesOnButSaysFalse) {
    Ready();
    Fake().failWrite = 2;
    Fake().samplesPerWrite = 100;
    machine.ClearRecords();
    EXPECT_FALSE(E().SpeakLines({"a 10", "b 10", "c 10"}));
    EXPECT_EQ(Fake().CallsButReads(),
              (Strings{"reset_MBR", "setNoError_MBR -63", "write_MBR a 10\r\n",
                       "write_MBR b 10\r\n", "close_MBR", "init_MBR c:\\tecfal\\tavenatts\\br4",
                       "write_MBR c 10\r\n", "flush_MBR"}));
    EXPECT_EQ(LibraryEvents(), (Strings{"free mbrola.dll", "load c:\\sonara\\mbrola.dll"}));
    // The next text is fine again.
    EXPECT_TRUE(E().SpeakLines({"d 10"}));
}

TEST_F(Engine, AFailingReadRecoversTheSameWay) {
    Ready();
    Fake().failRead = 1;
    Fake().samplesPerWrite = 100;
    EXPECT_FALSE(E().SpeakLines({"a 10", "b 10"}));
    EXPECT_EQ(Fake().CallsButReads(),
              (Strings{"reset_MBR", "setNoError_MBR -63", "write_MBR a 10\r\n", "close_MBR",
                       "init_MBR c:\\tecfal\\tavenatts\\br4", "write_MBR b 10\r\n", "flush_MBR"}));
    EXPECT_EQ(Played().size(), 200u + 56u);  // line b only, made up to the minimum
}

TEST_F(Engine, ALibraryThatCannotBeLoadedAgainIsNeverCalledThroughAfterwards) {
    Ready();
    Fake().failWrite = 1;
    Fake().onFailure = [this] { machine.RemoveLibrary("mbrola.dll"); };
    EXPECT_FALSE(E().SpeakLines({"a 10", "b 10"}));
    EXPECT_EQ(Fake().CallsButReads(),
              (Strings{"reset_MBR", "setNoError_MBR -63", "write_MBR a 10\r\n", "close_MBR"}));
    EXPECT_FALSE(E().LibraryLoaded());
    Fake().calls.clear();
    EXPECT_FALSE(sonara::EngineSpeak("casa"));
    EXPECT_TRUE(sonara::EngineSpeak("  "));  // blank texts are still fine
    sonara::TavenaEnd();
    EXPECT_TRUE(Fake().calls.empty());
}

TEST_F(Engine, ALibraryWhoseDatabaseCannotOpenAgainIsUnloaded) {
    Ready();
    Fake().failWrite = 1;
    Fake().initResults = {0, -1};
    EXPECT_FALSE(E().SpeakLines({"a 10", "b 10"}));
    EXPECT_EQ(Fake().CallsButReads(),
              (Strings{"reset_MBR", "setNoError_MBR -63", "write_MBR a 10\r\n", "close_MBR",
                       "init_MBR c:\\tecfal\\tavenatts\\br4"}));
    EXPECT_FALSE(E().LibraryLoaded());
}

// ---- Glue and dispatch ----

TEST_F(Engine, SpeakBusyAndStopPostTheWakeUpMessage) {
    Ready();
    auto wakeUps = [] {
        int n = 0;
        win::MSG msg;
        while (win::PeekMessageA(&msg, nullptr, 2980, 2980, win::PM_REMOVE)) ++n;
        return n;
    };
    wakeUps();
    sonara::TavenaSpeak("casa");
    EXPECT_EQ(wakeUps(), 1);
    sonara::TavenaBusy();
    EXPECT_EQ(wakeUps(), 1);
    sonara::TavenaStop();
    EXPECT_EQ(wakeUps(), 1);
}

TEST_F(Engine, BusyStopsTheSoundOnAKeyAndLeavesTheKeyQueued) {
    Ready();
    Fake().samplesOnFlush = 16000 * 3;  // three seconds
    sonara::TavenaSpeak("casa");
    EXPECT_TRUE(sonara::TavenaBusy());
    auto key = sim::ParseKeySpec("a");
    ASSERT_TRUE(key.has_value());
    machine.PressKey(*key, machine.Now() + 100);
    while (!sonara::KeyPressed()) win::WaitMessage();
    EXPECT_FALSE(sonara::TavenaBusy());
    EXPECT_FALSE(sonara::IsPlaying());
    EXPECT_TRUE(sonara::KeyPressed());
    EXPECT_EQ(sonara::ReadKey(), 'a');
}

TEST_F(Engine, EndWaitsForTheSoundThenClosesAndUnloads) {
    Ready();
    Fake().samplesOnFlush = 16000;  // one second
    sonara::TavenaSpeak("casa");
    const std::uint32_t t0 = machine.Now();
    sonara::TavenaEnd();
    EXPECT_GE(machine.Now() - t0, 500u);
    EXPECT_FALSE(sonara::IsPlaying());
    EXPECT_EQ(Fake().calls.back(), "close_MBR");
    EXPECT_FALSE(E().LibraryLoaded());
}

TEST_F(Engine, TheFacadeSpeaksThroughTheEngineWithServerType3) {
    tavena_test::InstallFakeMbrola(machine);
    Fake().samplesOnFlush = 4000;
    machine.AddFile("c:\\difones\\DIFONES2.IND", "");
    machine.AddFile("c:\\difones\\DIFONES2.DIF", "");
    machine.AddFile("c:\\difones\\regras.rgr", "");
    machine.AddFile("c:\\difones\\portug.exc", "");
    machine.AddDirectory("c:\\letras");
    Start(
        "[TRADUTOR]\r\nDIRLETRAS=c:\\letras\r\nDIRDIFONES=c:\\difones\r\nSAPI=S\r\n"
        "[SERVFALA]\r\nTIPOSAPI=3\r\nVELOCIDADE=3\r\nTOM=11\r\n");
    sonara::StartSpeech(1, "");
    ASSERT_TRUE(sonara::Tfsapi::Current()->ServerActive);
    EXPECT_DOUBLE_EQ(E().PitchFactor(), 2.0);
    EXPECT_DOUBLE_EQ(E().DurationFactor(), 0.6);
    sonara::Speak("casa");
    EXPECT_EQ(Played().size(), 8000u);
    EXPECT_EQ(machine.WaveWrites().front().bytes.size(), 8000u);
    sonara::EndSpeech();
    EXPECT_FALSE(E().LibraryLoaded());
}

}  // namespace
