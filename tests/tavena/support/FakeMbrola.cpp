#include "FakeMbrola.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace tavena_test {

namespace {

FakeMbrola fake;

void Note(std::string call) {
    fake.calls.push_back(std::move(call));
}

int Fail() {
    if (fake.onFailure) fake.onFailure();
    return -1;
}

int Init(const char* path) {
    Note(std::string("init_MBR ") + (path != nullptr ? path : "(null)"));
    std::size_t i = static_cast<std::size_t>(fake.inits++);
    return i < fake.initResults.size() ? fake.initResults[i] : 0;
}
int InitRename(const char*, const char*, const char*) {
    Note("init_rename_MBR");
    return 0;
}
int Write(const char* line) {
    Note(std::string("write_MBR ") + (line != nullptr ? line : "(null)"));
    if (++fake.writes == fake.failWrite) return Fail();
    fake.pending += fake.samplesPerWrite;
    return 0;
}
int Flush() {
    Note("flush_MBR");
    fake.pending += fake.samplesOnFlush;
    return 0;
}
int Read(short* samples, int wanted) {
    if (++fake.reads == fake.failRead) {
        Note("read_MBR " + std::to_string(wanted) + " -> -1");
        return Fail();
    }
    int n = std::max(0, std::min({fake.pending, wanted, fake.maxPerRead}));
    if (fake.sampleValue == 0) {
        std::memset(samples, 0, sizeof(short) * static_cast<std::size_t>(n));  // silence, fast
    } else {
        std::fill(samples, samples + n, fake.sampleValue);
    }
    fake.pending -= n;
    if (fake.noteReads) Note("read_MBR " + std::to_string(wanted) + " -> " + std::to_string(n));
    return n;
}
int ReadType(void*, int, int) {
    Note("readtype_MBR");
    return 0;
}
int Close() {
    Note("close_MBR");
    fake.pending = 0;
    return 0;
}
int Reset() {
    Note("reset_MBR");
    fake.pending = 0;
    return 0;
}
int NoArgs(const char* name) {
    Note(name);
    return 0;
}
int LastError() {
    return NoArgs("lastError_MBR");
}
int LastErrorStr(char*, int) {
    return NoArgs("lastErrorStr_MBR");
}
int SetNoError(int v) {
    Note("setNoError_MBR " + std::to_string(v));
    return 0;
}
int GetNoError() {
    return NoArgs("getNoError_MBR");
}
int SetFreq(int) {
    return NoArgs("setFreq_MBR");
}
int GetFreq() {
    return NoArgs("getFreq_MBR");
}
int SetVolume(float) {
    return NoArgs("setVolumeRatio_MBR");
}
int GetVolume() {
    return NoArgs("getVolumeRatio_MBR");
}
int Version(char*, int) {
    return NoArgs("getVersion_MBR");
}
int Info(char*, int, int) {
    return NoArgs("getDatabaseInfo_MBR");
}
int Parser(void*) {
    return NoArgs("setParser_MBR");
}
int InitPhone(const char*, float) {
    return NoArgs("init_Phone");
}
int ResetPhone(int, const char*, float) {
    return NoArgs("reset_Phone");
}
int ClosePhone(int) {
    return NoArgs("close_Phone");
}
int AppendF0(int, float, float) {
    return NoArgs("appendf0_Phone");
}

template <class Fn>
win::FARPROC P(Fn fn) {
    return reinterpret_cast<win::FARPROC>(fn);
}

}  // namespace

std::vector<std::string> FakeMbrola::CallsButReads() const {
    std::vector<std::string> out;
    for (const std::string& c : calls) {
        if (c.rfind("read_MBR ", 0) != 0) out.push_back(c);
    }
    return out;
}

FakeMbrola& ResetFake() {
    fake = FakeMbrola{};
    return fake;
}

FakeMbrola& Fake() {
    return fake;
}

void InstallFakeMbrola(sim::SimMachine& machine, std::string_view without) {
    std::map<std::string, win::FARPROC> procs = {
        {"init_MBR", P(&Init)},
        {"init_rename_MBR", P(&InitRename)},
        {"write_MBR", P(&Write)},
        {"flush_MBR", P(&Flush)},
        {"read_MBR", P(&Read)},
        {"readtype_MBR", P(&ReadType)},
        {"close_MBR", P(&Close)},
        {"reset_MBR", P(&Reset)},
        {"lastError_MBR", P(&LastError)},
        {"lastErrorStr_MBR", P(&LastErrorStr)},
        {"setNoError_MBR", P(&SetNoError)},
        {"getNoError_MBR", P(&GetNoError)},
        {"setFreq_MBR", P(&SetFreq)},
        {"getFreq_MBR", P(&GetFreq)},
        {"setVolumeRatio_MBR", P(&SetVolume)},
        {"getVolumeRatio_MBR", P(&GetVolume)},
        {"getVersion_MBR", P(&Version)},
        {"getDatabaseInfo_MBR", P(&Info)},
        {"setParser_MBR", P(&Parser)},
        {"init_Phone", P(&InitPhone)},
        {"reset_Phone", P(&ResetPhone)},
        {"close_Phone", P(&ClosePhone)},
        {"appendf0_Phone", P(&AppendF0)},
    };
    procs.erase(std::string(without));
    machine.AddLibrary("mbrola.dll", std::move(procs));
}

}  // namespace tavena_test
