// The real programs on a real BRLTTY: the test command starts a private BRLTTY with its
// virtual braille driver and tells this test the driver's socket and BrlAPI host
// (SONARA_TEST_BRAILLE_SOCKET, SONARA_TEST_BRLAPI_HOST); the test plays the
// braille display on that socket. `sonara console-demo` under the X server shows its
// last row on the display and a key pressed on the display reaches the console as its
// bytes; `sonara braille --display` shows its line until a display key.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "console/braille/BrailleTables.h"
#include "console/braille/tfbrunif.h"
#include "platform/cp1252.h"

namespace {

using Clock = std::chrono::steady_clock;
// Generous: only a wait that never ends takes this long.
constexpr auto kPatience = std::chrono::seconds(20);

// The cells a console row shows on a display of `cells` cells.
std::vector<std::uint8_t> RowCells(const std::string& utf8Row, std::size_t cells) {
    sonara::Tfbrunif translator;
    const std::string dots =
        sonara::BrailleTextToDots(translator.TranslateToBraille(win::Utf8ToCp1252(utf8Row)));
    std::vector<std::uint8_t> out(dots.begin(), dots.end());
    out.resize(cells, 0);
    return out;
}

// The virtual display's side of BRLTTY's socket: BRLTTY sends lines like
// `Braille "134|2| |..."` (the dots of each cell) and takes key lines like `PassDots 3`.
class VirtualDisplay {
  public:
    explicit VirtualDisplay(const std::string& path) {
        fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
        // BRLTTY may still be taking leave of the previous display: try again a while.
        const auto until = Clock::now() + kPatience;
        while (connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 &&
               Clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        connected_ = Clock::now() < until;
    }
    ~VirtualDisplay() {
        if (fd_ >= 0) close(fd_);
    }
    bool Connected() const { return connected_; }
    void Send(const std::string& line) {
        const std::string text = line + "\n";
        ASSERT_EQ(write(fd_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    // Waits for the display to show `cells`; false when it never does.
    bool WaitFor(const std::vector<std::uint8_t>& cells) {
        const auto until = Clock::now() + kPatience;
        for (;;) {
            for (; !lines_.empty(); lines_.erase(lines_.begin())) {
                if (Parse(lines_.front()) == cells) {
                    lines_.erase(lines_.begin());
                    return true;
                }
            }
            if (!Read(until)) return false;
        }
    }
    // Waits for any cells at all: BRLTTY has taken the display's size.
    bool WaitForAnyCells() {
        const auto until = Clock::now() + kPatience;
        while (lines_.empty())
            if (!Read(until)) return false;
        lines_.clear();
        return true;
    }
    const std::string& Last() const { return last_; }

  private:
    // Reads what BRLTTY sent until a whole Braille line came, or the time is over.
    bool Read(Clock::time_point until) {
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
            if (left.count() <= 0) return false;
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
            char buf[4096];
            const ssize_t n = read(fd_, buf, sizeof buf);
            if (n <= 0) return false;
            pending_.append(buf, static_cast<std::size_t>(n));
            bool got = false;
            for (std::size_t nl; (nl = pending_.find('\n')) != std::string::npos;) {
                std::string line = pending_.substr(0, nl);
                pending_.erase(0, nl + 1);
                if (line.rfind("Braille ", 0) == 0) {
                    last_ = line;
                    lines_.push_back(line);
                    got = true;
                }
            }
            if (got) return true;
        }
    }
    static std::vector<std::uint8_t> Parse(const std::string& line) {
        const std::size_t open = line.find('"'), close = line.rfind('"');
        std::vector<std::uint8_t> cells;
        if (open == std::string::npos || close <= open) return cells;
        std::uint8_t cell = 0;
        for (std::size_t i = open + 1; i <= close; ++i) {
            const char c = line[i];
            if (c == '|' || i == close) {
                cells.push_back(cell);
                cell = 0;
            } else if (c >= '1' && c <= '8') {
                cell = static_cast<std::uint8_t>(cell | (1 << (c - '1')));
            }
        }
        return cells;
    }

    int fd_ = -1;
    bool connected_ = false;
    std::string pending_;
    std::string last_;
    std::vector<std::string> lines_;
};

// A child process running `sonara` with the given arguments; its standard output is kept.
class Program {
  public:
    explicit Program(const std::vector<std::string>& args) {
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            // The private BRLTTY has no screen and so no terminals: a terminal named by the
            // desktop the tests run from would take the display where nothing shows.
            for (const char* name : {"WINDOWPATH", "XDG_VTNR", "WINDOWID", "CONTROLVT"})
                unsetenv(name);
            setenv("BRLAPI_HOST", std::getenv("SONARA_TEST_BRLAPI_HOST"), 1);
            std::vector<char*> argv;
            std::string tool = SONARA_TOOL;
            argv.push_back(tool.data());
            std::vector<std::string> copy = args;
            for (std::string& a : copy) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(tool.c_str(), argv.data());
            _exit(127);
        }
        close(out[1]);
        out_ = out[0];
    }
    ~Program() {
        if (pid_ > 0 && !done_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) close(out_);
    }
    bool Started() const { return pid_ > 0; }
    // The exit code once the program ended, or -1 when it did not end in time.
    int Wait() {
        const auto until = Clock::now() + kPatience;
        int status = 0;
        while (Clock::now() < until) {
            pid_t r = waitpid(pid_, &status, WNOHANG);
            if (r == pid_) {
                done_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }
    // Everything the program printed (after it ended).
    std::string Output() {
        std::string text;
        char buf[1024];
        for (ssize_t n; (n = read(out_, buf, sizeof buf)) > 0;) text.append(buf, n);
        return text;
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    bool done_ = false;
};

class RealBraille : public testing::Test {
  protected:
    void SetUp() override {
        const char* socket = std::getenv("SONARA_TEST_BRAILLE_SOCKET");
        if (socket == nullptr || std::getenv("SONARA_TEST_BRLAPI_HOST") == nullptr)
            GTEST_SKIP() << "no private BRLTTY (scripts/test.sh starts one)";
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
        socket_ = socket;
    }
    std::string socket_;
};

TEST_F(RealBraille, ConsoleDemoShowsItsLastRowAndDisplayKeysReachItsConsole) {
    constexpr std::size_t kCells = 40;
    VirtualDisplay display(socket_);
    ASSERT_TRUE(display.Connected());
    display.Send("cells 40");
    ASSERT_TRUE(display.WaitForAnyCells()) << "BRLTTY never showed anything";

    Program demo({"console-demo"});
    ASSERT_TRUE(demo.Started());
    EXPECT_TRUE(display.WaitFor(RowCells("Aperte teclas; Esc termina.", kCells)))
        << "last shown: " << display.Last();
    display.Send("PassDots 3");  // dots 1 and 2: b
    EXPECT_TRUE(display.WaitFor(RowCells("98", kCells))) << "last shown: " << display.Last();
    display.Send("KEY_ENTER");
    EXPECT_TRUE(display.WaitFor(RowCells("13", kCells))) << "last shown: " << display.Last();
    display.Send("LnUp");
    EXPECT_TRUE(display.WaitFor(RowCells("0 72", kCells))) << "last shown: " << display.Last();
    display.Send("KEY_ESCAPE");
    EXPECT_EQ(demo.Wait(), 0) << "Esc on the display did not end the demo";
}

TEST_F(RealBraille, SonaraBrailleDisplayShowsTheLineUntilADisplayKey) {
    constexpr std::size_t kCells = 20;
    VirtualDisplay display(socket_);
    ASSERT_TRUE(display.Connected());
    display.Send("cells 20");
    ASSERT_TRUE(display.WaitForAnyCells());

    Program tool({"braille", "--display", "Olá 25"});
    ASSERT_TRUE(tool.Started());
    EXPECT_TRUE(display.WaitFor(RowCells("Olá 25", kCells))) << "last shown: " << display.Last();
    display.Send("Route 2");  // a routing key types a question mark
    ASSERT_EQ(tool.Wait(), 0);
    const std::string out = tool.Output();
    EXPECT_NE(out.find("(20 cells)"), std::string::npos) << out;
    EXPECT_NE(out.find("key 63"), std::string::npos) << out;
}

}  // namespace
