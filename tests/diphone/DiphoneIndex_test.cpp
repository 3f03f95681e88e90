// The diphone index from bytes (order, lookup, broken entries), FetchDiphone's cut and
// minimum arithmetic, and the chunk walk of character recordings.
#include "diphone/DiphoneIndex.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "diphone/LetterWave.h"

namespace sonara {
namespace {

struct RawEntry {
    std::string name;
    std::uint16_t length;
    std::int32_t offset;
    int nameLength = -1;  // -1: the name's own length
};

std::string IndexBytes(const std::vector<RawEntry>& entries) {
    std::string out;
    for (const RawEntry& e : entries) {
        out += static_cast<char>(e.nameLength < 0 ? e.name.size() : e.nameLength);
        std::string name = e.name;
        name.resize(8, '\0');
        out += name;
        out += static_cast<char>(e.length & 0xFF);
        out += static_cast<char>(e.length >> 8);
        const auto off = static_cast<std::uint32_t>(e.offset);
        for (int i = 0; i < 4; ++i) out += static_cast<char>(off >> (8 * i));
    }
    return out;
}

TEST(DiphoneIndexOrder, ShorterPrefixFirstThenBytes) {
    EXPECT_LT(CompareDiphoneNames("$K", "$KA"), 0);
    EXPECT_GT(CompareDiphoneNames("$KB", "$KAZA"), 0);
    EXPECT_EQ(CompareDiphoneNames("$KA", "$KA"), 0);
    // Bytes compare unsigned: a Windows-1252 letter sorts after "Z".
    EXPECT_GT(CompareDiphoneNames("\xC7", "Z"), 0);
}

TEST(DiphoneIndexLookup, FindsEveryEntryAfterUpperCasingAToZOnly) {
    std::vector<RawEntry> raw;
    const char* names[] = {"$A", "$AY", "$E", "$K", "$KA", "$KAZA", "$NN", "$Z", "$ZA", "\xE7"};
    for (int i = 0; i < 10; ++i) raw.push_back({names[i], 10, i * 10});
    DiphoneIndex index;
    const auto report = index.Load(IndexBytes(raw), 100);
    EXPECT_EQ(report.entries, 10u);
    EXPECT_TRUE(report.sorted);
    EXPECT_EQ(index.Count(), 10u);
    for (int i = 0; i < 10; ++i) {
        const DiphoneEntry* e = index.Find(names[i]);
        ASSERT_NE(e, nullptr) << names[i];
        EXPECT_EQ(e->offset, i * 10);
    }
    ASSERT_NE(index.Find("$kAza"), nullptr);
    EXPECT_EQ(index.Find("$kAza")->offset, 50);
    EXPECT_EQ(index.Find("$ay")->offset, 10);
    // Only a-z are upper-cased: lower-case c-cedilla stays itself.
    EXPECT_EQ(index.Find("\xE7")->offset, 90);
    EXPECT_EQ(index.Find("\xC7"), nullptr);
    EXPECT_EQ(index.Find("$KAZ"), nullptr);
    EXPECT_EQ(index.Find("$"), nullptr);
    EXPECT_EQ(index.Find("$KAZAKAZA1"), nullptr);  // longer than any index name
    EXPECT_EQ(DiphoneIndex().Find("$A"), nullptr);
}

TEST(DiphoneIndexBadInput, PartialEntryOutsideEntriesAndDisorder) {
    // A size that is no multiple of 15: the tail is ignored.
    std::string bytes = IndexBytes({{"$A", 10, 0}, {"$B", 10, 10}}) + "xyz";
    DiphoneIndex index;
    auto report = index.Load(bytes, 20);
    EXPECT_EQ(report.entries, 2u);
    EXPECT_EQ(report.trailing, 3u);
    EXPECT_NE(index.Find("$B"), nullptr);

    // Entries outside the data file, negative offsets and names over 8 are dropped.
    report = index.Load(IndexBytes({{"$A", 10, 0},
                                    {"$B", 11, 10},
                                    {"$C", 1, -1},
                                    {"$D", 0, 21},
                                    {"$E", 1, 19},
                                    {"$F", 1, 0, 9}}),
                        20);
    EXPECT_EQ(report.dropped, 4u);
    EXPECT_NE(index.Find("$A"), nullptr);
    EXPECT_EQ(index.Find("$B"), nullptr);
    EXPECT_EQ(index.Find("$C"), nullptr);
    EXPECT_EQ(index.Find("$D"), nullptr);  // starts past the end
    EXPECT_NE(index.Find("$E"), nullptr);  // ends exactly at the end
    EXPECT_EQ(index.Count(), 2u);

    // An unsorted index is sorted, so halving finds every entry.
    report = index.Load(IndexBytes({{"$ZA", 1, 0}, {"$A", 1, 1}, {"$KA", 1, 2}, {"$K", 1, 3}}), 4);
    EXPECT_FALSE(report.sorted);
    for (const char* n : {"$ZA", "$A", "$KA", "$K"}) EXPECT_NE(index.Find(n), nullptr) << n;

    EXPECT_EQ(index.Load("", 0).entries, 0u);
    EXPECT_EQ(index.Find("$A"), nullptr);
}

TEST(DiphoneFetchArithmetic, CutMinimumFactorAndStress) {
    // Unstressed name of 3+ characters: 1000 - 400 = 600, then the factor.
    EXPECT_EQ(DiphoneFetchBytes(1000, 3, 1, 1.0, 400, 0), 600u);
    EXPECT_EQ(DiphoneFetchBytes(1000, 3, 1, 0.9, 400, 0), 540u);
    EXPECT_EQ(DiphoneFetchBytes(1000, 3, 0, 1.0, 400, 0), 600u);
    // The minimum stops the cut, but never lengthens past the diphone.
    EXPECT_EQ(DiphoneFetchBytes(1000, 3, 1, 1.0, 400, 700), 700u);
    EXPECT_EQ(DiphoneFetchBytes(500, 3, 1, 1.0, 400, 700), 500u);
    EXPECT_EQ(DiphoneFetchBytes(1000, 3, 1, 0.9, 400, 700), 630u);
    // Stressed (mode 2) and two-character names keep their length.
    EXPECT_EQ(DiphoneFetchBytes(1000, 5, 2, 1.0, 400, 0), 1000u);
    EXPECT_EQ(DiphoneFetchBytes(1000, 2, 1, 1.0, 400, 0), 1000u);
    EXPECT_EQ(DiphoneFetchBytes(1000, 2, 1, 0.6, 400, 0), 600u);
    // A cut longer than the diphone leaves nothing, even with odd settings.
    EXPECT_EQ(DiphoneFetchBytes(300, 3, 1, 1.0, 400, 0), 0u);
    EXPECT_EQ(DiphoneFetchBytes(300, 3, 1, 1.0, 400, -50), 0u);
    EXPECT_EQ(DiphoneFetchBytes(300, 3, 1, 1.0, -400, 0), 300u);
    EXPECT_EQ(DiphoneFetchBytes(65535, 3, 1, 1.0, -2147483647L - 1, 0), 65535u);
}

std::string Le32(std::uint32_t v) {
    std::string s;
    for (int i = 0; i < 4; ++i) s += static_cast<char>(v >> (8 * i));
    return s;
}

std::string Chunk(const std::string& id, const std::string& body, std::uint32_t size) {
    return id + Le32(size) + body;
}

std::string Fmt() {
    return Chunk("fmt ", std::string(16, '\x01'), 16);
}

std::uint32_t DataSize(const std::string& bytes) {
    MemorySource source(bytes);
    return FindLetterData(source);
}

TEST(LetterWaveChunks, DataFoundPastOtherChunksAndCaseIgnored) {
    const std::string riff = "RIFF" + Le32(100) + "WAVE";
    EXPECT_EQ(DataSize(riff + Fmt() + Chunk("data", "abc", 3)), 3u);
    EXPECT_EQ(DataSize("riff" + Le32(0) + "WAVE" + Chunk("FMT ", std::string(16, 0), 16) +
                       Chunk("DATA", "", 7)),
              7u);
    EXPECT_EQ(DataSize(riff + Fmt() + Chunk("LIST", "12345", 5) + Chunk("data", "xy", 2)), 2u);
    // A large format body is skipped by seeking.
    EXPECT_EQ(DataSize(riff + Chunk("fmt ", std::string(200, 0), 200) + Chunk("data", "", 9)), 9u);
    // The size is taken modulo 65536.
    EXPECT_EQ(DataSize(riff + Fmt() + Chunk("data", "", 65536 + 12)), 12u);
    EXPECT_EQ(DataSize(riff + Fmt() + Chunk("data", "", 0xFFFFFFFFu)), 65535u);
}

TEST(LetterWaveChunks, BrokenFilesGiveNoData) {
    const std::string riff = "RIFF" + Le32(100) + "WAVE";
    EXPECT_EQ(DataSize(""), 0u);
    EXPECT_EQ(DataSize("RIFX" + Le32(0) + "WAVE" + Fmt() + Chunk("data", "", 4)), 0u);
    // "fmt " must come right after the RIFF header.
    EXPECT_EQ(DataSize(riff + Chunk("LIST", "", 0) + Fmt() + Chunk("data", "", 4)), 0u);
    // Cut short: in the format body, in a chunk header, in a chunk body.
    EXPECT_EQ(DataSize(riff + "fmt " + Le32(16) + "abc"), 0u);
    EXPECT_EQ(DataSize(riff + Fmt() + "dat"), 0u);
    EXPECT_EQ(DataSize(riff + Fmt() + Chunk("LIST", "ab", 4000000000u) + Chunk("data", "", 4)), 0u);
    EXPECT_EQ(DataSize(riff + Chunk("fmt ", "", 0xFFFFFFF0u)), 0u);
    // No data chunk at all.
    EXPECT_EQ(DataSize(riff + Fmt()), 0u);
}

}  // namespace
}  // namespace sonara
