// Stand-in for libFuzzer's driver in builds without it: feeds every file of the corpus
// folder given on the command line, then a fixed sequence of pseudo-random inputs, to
// LLVMFuzzerTestOneInput. A crash or sanitizer report fails the test.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    size_t fed = 0;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        if (!std::filesystem::is_directory(argv[i], ec)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++fed;
        }
    }
    std::mt19937 rng(12345);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes(rng() % 600);
        // Mostly printable bytes with separators, so line-based parsers get past their
        // first checks; every few rounds raw bytes.
        for (auto& b : bytes) {
            if (round % 4 == 0) {
                b = static_cast<uint8_t>(rng());
            } else {
                static const char alphabet[] =
                    "abc=[]()/;:,.#&0123456789 \t\r\n@\\-+*%$xyzAEIOU\xe1\xe7";
                b = static_cast<uint8_t>(alphabet[rng() % (sizeof alphabet - 1)]);
            }
        }
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++fed;
    }
    std::printf("replayed %zu inputs\n", fed);
    return 0;
}
