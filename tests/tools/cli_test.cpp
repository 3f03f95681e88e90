// The sonara tool at the command line: paths it computes are printed as host paths.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// Runs the tool with the given environment assignments; its standard output, without the
// last newline.
std::string Tool(const std::string& env, const std::string& args) {
    std::string out;
    FILE* p = popen(("env " + env + " '" SONARA_TOOL "' " + args + " 2>/dev/null").c_str(), "r");
    if (!p) return out;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

class Cli : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("sonara-cli-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "windows");
        fs::create_directories(root / "configura\xC3\xA7\xC3\xA3o");  // UTF-8 on the host
    }
    void TearDown() override { fs::remove_all(root); }
    std::string Env() const {
        return "SONARA_WINDIR='" + (root / "windows").string() + "' XDG_CONFIG_HOME='" +
               (root / "configura\xC3\xA7\xC3\xA3o").string() + "'";
    }
    fs::path root;
};

TEST_F(Cli, IniDirPrintsAHostPathAPersonCanPaste) {
    // Neither Sonara.ini exists: the user's directory, where one would be created.
    EXPECT_EQ(Tool(Env(), "ini-dir"), (root / "configura\xC3\xA7\xC3\xA3o" / "Sonara").string());
    // The installation's file exists: its directory.
    std::ofstream(root / "windows" / "Sonara.ini") << "[A]\nB=1\n";
    EXPECT_EQ(Tool(Env(), "ini-dir"), (root / "windows").string());
    // The user's file, once made where ini-dir said, is found there.
    fs::create_directories(root / "configura\xC3\xA7\xC3\xA3o" / "Sonara");
    std::ofstream(root / "configura\xC3\xA7\xC3\xA3o" / "Sonara" / "Sonara.ini") << "[A]\nB=2\n";
    EXPECT_EQ(Tool(Env(), "ini-dir"), (root / "configura\xC3\xA7\xC3\xA3o" / "Sonara").string());
    EXPECT_EQ(Tool(Env(), "ini A B"), "2");
}

TEST_F(Cli, VoicesAreNumberedFromOneForEachServerType) {
    // The simulated machine's fake voices; a real machine lists its speech server's.
    EXPECT_EQ(Tool(Env(), "voices --simulate"),
              "SAPI 4 (TIPOSAPI=4):\n  1 Clara\n  2 Tiago\n  3 Mary\n"
              "SAPI 5 (TIPOSAPI=5 or 54):\n  1 Clara\n  2 Tiago\n  3 Mary\n"
              "Sonara.ini: [SERVFALA] VOZ=<number>, [TRADUTOR] SAPI=S");
    EXPECT_EQ(Tool(Env(), "voices --bad"), "");
}

}  // namespace
