// The phoneme-string reader of SpeakPhonemes on arbitrary bytes: every request it makes
// must be a sane name, factor, stress mode and silence, and it must end.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "diphone/DiphonePlan.h"

namespace {

// Answers lookups from the name's bytes, so found and missing names both occur.
class CheckingSink : public sonara::UnitSink {
  public:
    bool FetchDiphone(std::string_view name, int mode, double factor) override {
        Check(name, '$');
        if (mode < 0 || mode > 2 || !(factor > 0.0) || factor > 1.0) std::abort();
        return Answer(name);
    }
    bool PlayLetterFile(std::string_view name) override {
        Check(name, '_');
        return Answer(name);
    }
    void AppendSilence(int samples) override {
        if (samples != 100 && samples != 4000 && samples != 8000 && samples != 6000) std::abort();
    }
    void AppendNoise() override { ++noises; }
    int noises = 0;

  private:
    static void Check(std::string_view name, char first) {
        if (name.empty() || name.size() > sonara::DiphonePlanner::kMaxName || name[0] != first) {
            std::abort();
        }
    }
    static bool Answer(std::string_view name) {
        unsigned h = 0;
        for (char c : name) h = h * 31 + static_cast<unsigned char>(c);
        return (h & 3) == 0;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckingSink sink;
    sonara::DiphonePlanner planner(sink);
    planner.Plan(text, size > 0 && (data[0] & 1) != 0, sonara::PhonemePauses{});
    if (!planner.AtEnd()) std::abort();
    return 0;
}
