#include <gtest/gtest.h>

#include "platform/api.h"
#include "platform/sim/SimMachine.h"
#include "support/TavenaTestData.h"
#include "tavena/Prosody.h"

using tavena_test::U;
using tavena_test::W;

namespace {

std::vector<std::string> MessageBoxes(const sim::SimMachine& m) {
    std::vector<std::string> out;
    for (const auto& e : m.Events()) {
        if (e.kind == "messagebox") out.push_back(U(e.detail));
    }
    return out;
}

TEST(ProsodyMessagesTest, EachLoaderMessageIsAModalBoxWithOk) {
    sim::SimMachine m;
    win::SetBackend(&m);
    sonara::ProsodyConfig c;
    EXPECT_FALSE(sonara::LoadProsody(std::nullopt, c));
    EXPECT_TRUE(sonara::LoadProsody(W("[DURAÇÃO]\na=x\ne=y\n[CHAVES]\n[PROSÓDIA]\n"), c));
    EXPECT_TRUE(sonara::LoadProsody(tavena_test::ProsodyFile(), c));  // no box
    win::SetBackend(nullptr);

    std::vector<std::string> boxes = MessageBoxes(m);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_NE(boxes[0].find("Configuração da prosódia não foi achada"), std::string::npos);
    EXPECT_NE(boxes[1].find("fonema errado: a=x"), std::string::npos);
    EXPECT_NE(boxes[2].find("fonema errado: e=y"), std::string::npos);
    for (const auto& b : boxes) {
        EXPECT_EQ(b.substr(b.size() - 4), " (0)") << b;  // MB_OK
    }
}

}  // namespace
