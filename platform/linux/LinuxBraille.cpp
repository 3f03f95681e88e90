#include "platform/linux/LinuxBraille.h"

#define BRLAPI_NO_DEPRECATED
#define BRLAPI_NO_SINGLE_SESSION
#include <brlapi.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/fsbrldspapi.h"

namespace win {

namespace {

std::uint32_t Chord(DisplayKeyEvent out[2], std::uint32_t bits) {
    out[0] = {fsbrl::kKindKeys, static_cast<LPARAM>(bits) << 8};
    out[1] = {fsbrl::kKindKeys, fsbrl::kChordDone};
    return 2;
}

// Asynchronous BrlAPI errors would abort the program by default; a broken connection
// only ends its display.
void IgnoreException(brlapi_handle_t*, int, brlapi_packetType_t, const void*, size_t) {}

}  // namespace

int BrlapiKeyEvents(std::uint64_t code, DisplayKeyEvent out[2]) {
    const std::uint64_t type = code & BRLAPI_KEY_TYPE_MASK;
    if (type == BRLAPI_KEY_TYPE_CMD) {
        const std::uint64_t block = code & BRLAPI_KEY_CMD_BLK_MASK;
        const std::uint32_t arg = static_cast<std::uint32_t>(code & BRLAPI_KEY_CMD_ARG_MASK);
        if (block == BRLAPI_KEY_CMD_PASSDOTS) {
            std::uint32_t bits = arg & 63;
            if (arg & BRLAPI_DOT7) bits |= fsbrl::kBitDot7;
            if (arg & BRLAPI_DOT8) bits |= fsbrl::kBitDot8;
            if ((arg & BRLAPI_DOTC) || bits == 0) bits |= fsbrl::kBitSpace;  // a blank cell: space
            return Chord(out, bits);
        }
        if (block == BRLAPI_KEY_CMD_ROUTE) {
            out[0] = {fsbrl::kKindRouting, static_cast<LPARAM>(arg)};
            return 1;
        }
        const std::uint64_t command = code & BRLAPI_KEY_CODE_MASK;
        if (command == BRLAPI_KEY_CMD_LNUP) {
            out[0] = {fsbrl::kKindNavigation, fsbrl::kNavigationUp};
            return 1;
        }
        if (command == BRLAPI_KEY_CMD_LNDN) {
            out[0] = {fsbrl::kKindNavigation, fsbrl::kNavigationDown};
            return 1;
        }
        if (command == BRLAPI_KEY_CMD_TOP) return Chord(out, fsbrl::kBitHome);
        if (command == BRLAPI_KEY_CMD_BOT) return Chord(out, fsbrl::kBitEnd);
        return 0;  // the screen reader's own commands mean nothing here
    }
    if (type != BRLAPI_KEY_TYPE_SYM) return 0;
    switch (code & BRLAPI_KEY_CODE_MASK) {
        case BRLAPI_KEY_SYM_BACKSPACE:
            return Chord(out, fsbrl::kBitDot7);
        case BRLAPI_KEY_SYM_LINEFEED:
            return Chord(out, fsbrl::kBitDot8);
        case BRLAPI_KEY_SYM_ESCAPE:
            return Chord(out, fsbrl::kBitDot7 | fsbrl::kBitDot8);
        case BRLAPI_KEY_SYM_HOME:
            return Chord(out, fsbrl::kBitHome);
        case BRLAPI_KEY_SYM_END:
            return Chord(out, fsbrl::kBitEnd);
        case ' ':
            return Chord(out, fsbrl::kBitSpace);
        case BRLAPI_KEY_SYM_UP:
            out[0] = {fsbrl::kKindKeys, fsbrl::kLineUp};
            return 1;
        case BRLAPI_KEY_SYM_DOWN:
            out[0] = {fsbrl::kKindKeys, fsbrl::kLineDown};
            return 1;
        default:
            return 0;
    }
}

struct BrlapiDisplayLibrary::Display {
    std::vector<char> storage;  // the brlapi_handle_t
    brlapi_handle_t* handle() { return reinterpret_cast<brlapi_handle_t*>(storage.data()); }
    bool connected = false;
    unsigned width = 0, height = 0;
    std::vector<unsigned char> cells;
    std::string driver, model;
    HWND window = nullptr;
    UINT message = 0;
    Poster post;
    std::thread keys;
    int stop[2] = {-1, -1};  // a pipe that ends the key thread

    ~Display() {
        if (keys.joinable()) {
            char b = 0;
            if (write(stop[1], &b, 1) < 0) {
            }  // the thread also ends on a closed pipe
            close(stop[1]);
            stop[1] = -1;
            keys.join();
        }
        for (int fd : stop)
            if (fd >= 0) close(fd);
        if (connected) brlapi__closeConnection(handle());
    }

    // The key thread: blocks until BrlAPI or the stop pipe has something.
    void ReadKeys() {
        pollfd fds[2] = {{brlapi__getFileDescriptor(handle()), POLLIN, 0}, {stop[0], POLLIN, 0}};
        for (;;) {
            if (poll(fds, 2, -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (fds[1].revents != 0) return;
            if (fds[0].revents & (POLLERR | POLLNVAL)) return;
            brlapi_keyCode_t code;
            int got;
            while ((got = brlapi__readKey(handle(), 0, &code)) > 0) {
                DisplayKeyEvent events[2];
                const int n = BrlapiKeyEvents(code, events);
                for (int i = 0; i < n; ++i) post(window, message, events[i].kind, events[i].data);
            }
            if (got < 0 &&
                !(brlapi_error.brlerrno == BRLAPI_ERROR_LIBCERR && brlapi_error.libcerrno == EINTR))
                return;  // the connection is gone
        }
    }
};

namespace {

std::mutex library_mutex;
BrlapiDisplayLibrary* library = nullptr;
BrlapiDisplayLibrary::Poster* library_post = nullptr;
std::map<std::uint32_t, std::unique_ptr<BrlapiDisplayLibrary::Display>> displays;
std::uint32_t next_display = 1;

BrlapiDisplayLibrary::Display* Find(std::uint32_t display) {
    auto it = displays.find(display);
    return it == displays.end() ? nullptr : it->second.get();
}

void CopyText(const std::string& text, char* buffer, std::int32_t size) {
    if (buffer == nullptr || size <= 0) return;
    const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

// Takes the display: on the program's virtual terminal when BrlAPI can tell which, else
// window-less (no terminal at all, as under a bare X server).
bool TakeDisplay(brlapi_handle_t* h) {
    if (brlapi__enterTtyMode(h, BRLAPI_TTY_DEFAULT, nullptr) >= 0) return true;
    return brlapi__enterTtyModeWithPath(h, nullptr, 0, nullptr) >= 0;
}

std::uint32_t Open(const char* /*port: BRLTTY knows where its display is*/, HWND window,
                   UINT message) {
    std::lock_guard<std::mutex> lock(library_mutex);
    if (library == nullptr) return 0;
    auto d = std::make_unique<BrlapiDisplayLibrary::Display>();
    d->storage.assign(brlapi_getHandleSize(), 0);
    if (brlapi__openConnection(d->handle(), nullptr, nullptr) < 0) return 0;
    d->connected = true;
    brlapi__setExceptionHandler(d->handle(), &IgnoreException);
    // Without a display BRLTTY reports no cells.
    if (brlapi__getDisplaySize(d->handle(), &d->width, &d->height) < 0) return 0;
    if (d->width * d->height == 0 || !TakeDisplay(d->handle())) return 0;
    brlapi__ignoreAllKeys(d->handle());  // until key events are switched on
    char text[100] = {};
    if (brlapi__getDriverName(d->handle(), text, sizeof text) > 0) d->driver = text;
    std::memset(text, 0, sizeof text);
    if (brlapi__getModelIdentifier(d->handle(), text, sizeof text) > 0) d->model = text;
    d->cells.assign(static_cast<std::size_t>(d->width) * d->height, 0);
    d->window = window;
    d->message = message;
    d->post = *library_post;
    // A write to a BRLTTY that went away must not end the program (unless the program
    // handles SIGPIPE itself).
    struct sigaction previous = {};
    if (sigaction(SIGPIPE, nullptr, &previous) == 0 && previous.sa_handler == SIG_DFL)
        std::signal(SIGPIPE, SIG_IGN);
    const std::uint32_t id = next_display++;
    displays[id] = std::move(d);
    return id;
}

std::int32_t GetCellCount(std::uint32_t display) {
    std::lock_guard<std::mutex> lock(library_mutex);
    auto* d = Find(display);
    return d != nullptr ? static_cast<std::int32_t>(d->cells.size()) : 0;
}

void Write(std::uint32_t display, std::int32_t first, std::int32_t count,
           const std::uint8_t* dots) {
    std::lock_guard<std::mutex> lock(library_mutex);
    auto* d = Find(display);
    if (d == nullptr || dots == nullptr || first < 0 || count <= 0) return;
    const auto size = static_cast<std::int32_t>(d->cells.size());
    if (first >= size) return;
    std::copy_n(dots, std::min(count, size - first), d->cells.begin() + first);
    brlapi__writeDots(d->handle(), d->cells.data());
}

void Configure(std::uint32_t display, std::int32_t value) {
    std::lock_guard<std::mutex> lock(library_mutex);
    auto* d = Find(display);
    if (d == nullptr || value != fsbrl::kKeyEventsOn || d->keys.joinable()) return;
    if (brlapi__acceptAllKeys(d->handle()) < 0) return;
    if (pipe2(d->stop, O_CLOEXEC) < 0) return;
    d->keys = std::thread([d] { d->ReadKeys(); });
}

void GetDisplayName(std::uint32_t display, char* buffer, std::int32_t size) {
    std::lock_guard<std::mutex> lock(library_mutex);
    if (auto* d = Find(display)) CopyText(d->driver, buffer, size);
}

void GetFirmwareVersion(std::uint32_t display, char* buffer, std::int32_t size) {
    std::lock_guard<std::mutex> lock(library_mutex);
    if (auto* d = Find(display)) CopyText(d->model, buffer, size);
}

void Close(std::uint32_t display) {
    std::lock_guard<std::mutex> lock(library_mutex);
    displays.erase(display);
}

void Beep(std::uint32_t) {}  // BrlAPI has no bell

}  // namespace

BrlapiDisplayLibrary::BrlapiDisplayLibrary(Poster post) : post_(std::move(post)) {
    std::lock_guard<std::mutex> lock(library_mutex);
    library = this;
    library_post = &post_;
}

BrlapiDisplayLibrary::~BrlapiDisplayLibrary() {
    std::lock_guard<std::mutex> lock(library_mutex);
    displays.clear();
    if (library == this) {
        library = nullptr;
        library_post = nullptr;
    }
}

FARPROC BrlapiDisplayLibrary::Proc(const char* name) {
    if (name == nullptr) return nullptr;
    const std::pair<const char*, FARPROC> procs[] = {
        {fsbrl::kOpen, reinterpret_cast<FARPROC>(&Open)},
        {fsbrl::kGetCellCount, reinterpret_cast<FARPROC>(&GetCellCount)},
        {fsbrl::kWrite, reinterpret_cast<FARPROC>(&Write)},
        {fsbrl::kConfigure, reinterpret_cast<FARPROC>(&Configure)},
        {fsbrl::kGetDisplayName, reinterpret_cast<FARPROC>(&GetDisplayName)},
        {fsbrl::kGetFirmwareVersion, reinterpret_cast<FARPROC>(&GetFirmwareVersion)},
        {fsbrl::kClose, reinterpret_cast<FARPROC>(&Close)},
        {fsbrl::kBeep, reinterpret_cast<FARPROC>(&Beep)}};
    for (const auto& [procName, proc] : procs)
        if (std::strcmp(procName, name) == 0) return proc;
    return nullptr;
}

}  // namespace win
