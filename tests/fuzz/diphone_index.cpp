// The diphone index loader on arbitrary bytes, then FetchDiphone through the synthesizer
// on the simulated machine: every entry kept lies inside the data file and is found by
// its name, no fetch takes more than its entry, and speaking never reads out of bounds.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "diphone/DiphoneIndex.h"
#include "diphone/DiphoneSynth.h"
#include "platform/api.h"
#include "platform/sim/SimMachine.h"

namespace {

class CountingPlayer : public sonara::SpeechPlayer {
  public:
    void PlayImageAndWait(const std::uint8_t* image) override {
        const std::uint32_t size = image[40] | (image[41] << 8) | (image[42] << 16) |
                                   (static_cast<std::uint32_t>(image[43]) << 24);
        if (size == 0 || size > sonara::DiphoneSynth::kMaxPiece) std::abort();
    }
    bool IsSpeaking() override { return false; }
};

void CheckIndex(const sonara::DiphoneIndex& index, std::uint64_t dataSize, long cut, long minimum) {
    for (const sonara::DiphoneEntry& e : index.Entries()) {
        if (e.nameLength > 8 || e.offset < 0 ||
            static_cast<std::uint64_t>(e.offset) + e.length > dataSize) {
            std::abort();
        }
        // Lookups upper-case a-z: an upper-case name finds an entry of that name; a name
        // with lower-case letters finds, if anything, the entry of its upper-cased form.
        std::string upper(e.Name());
        bool lower = false;
        for (char& c : upper) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 32);
                lower = true;
            }
        }
        const sonara::DiphoneEntry* found = index.Find(e.Name());
        if (found == nullptr) {
            if (!lower) std::abort();
            continue;
        }
        if (sonara::CompareDiphoneNames(found->Name(), upper) != 0) std::abort();
        for (int mode = 0; mode <= 2; ++mode) {
            for (double factor : {1.0, 0.9, 0.6, 0.81 * 0.7}) {
                if (sonara::DiphoneFetchBytes(found->length, e.nameLength, mode, factor, cut,
                                              minimum) > found->length) {
                    std::abort();
                }
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 6) return 0;
    // First 4 bytes: the data file's size (up to 64 KiB here); next 2: cut and minimum;
    // the rest: the index.
    const std::uint64_t dataSize = (data[0] | (data[1] << 8)) + (data[2] & 1) * 65536u;
    const long cut = static_cast<signed char>(data[4]) * 16;
    const long minimum = static_cast<signed char>(data[5]) * 16;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 6, size - 6);
    sonara::DiphoneIndex index;
    const auto report = index.Load(bytes, dataSize);
    if (report.entries != bytes.size() / 15 || index.Count() + report.dropped != report.entries) {
        std::abort();
    }
    CheckIndex(index, dataSize, cut, minimum);

    // The same files spoken by the synthesizer.
    sim::SimMachine machine;
    win::SetBackend(&machine);
    machine.AddFile("c:\\tecfal\\som\\difones\\DIFONES2.IND", std::string(bytes));
    machine.AddFile("c:\\tecfal\\som\\difones\\DIFONES2.DIF",
                    std::string(static_cast<std::size_t>(dataSize), '\x80'));
    machine.AddFile("c:\\tecfal\\som\\difones\\regras.rgr", "");
    machine.AddFile("c:\\tecfal\\som\\difones\\portug.exc", "");
    machine.AddDirectory("c:\\tecfal\\som\\letras");
    {
        sonara::DiphoneSynth synth;
        CountingPlayer player;
        if (synth.InitDiphoneSynth() != 0) std::abort();
        synth.SetPlayer(&player);
        synth.SetSpeechTiming(static_cast<int>(cut), static_cast<int>(minimum), 100);
        synth.SpeakPhonemes("[kA/za][pa~w][ /_b][tchE^s][a][e][o]", false);
        for (const sonara::DiphoneEntry& e : index.Entries()) {
            std::string phonemes = "[";
            for (char c : e.Name()) {
                if (c != '$') phonemes += c;
            }
            synth.SpeakPhonemes(phonemes + "]", false);
        }
        synth.FreeDiphoneSynth();
    }
    win::SetBackend(nullptr);
    return 0;
}
