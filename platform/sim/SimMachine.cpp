// The simulated machine's clock, scheduler, recorder and system settings.
#include "platform/sim/SimMachine.h"

#include <algorithm>
#include <limits>

#include "platform/paths.h"

namespace sim {

namespace {

constexpr std::uintptr_t kStockBase = 0x100;

}  // namespace

SimMachine::SimMachine() {
    // Stock objects live at fixed handles: kStockBase + their index.
    auto stockFont = [this](int index, win::BYTE charSet) {
        GdiObject f;
        f.font = true;
        f.stock = true;
        f.charSet = charSet;
        f.face = "System";
        objects_[kStockBase + static_cast<std::uintptr_t>(index)] = f;
    };
    auto stockBrush = [this](int index, win::COLORREF colour) {
        GdiObject b;
        b.stock = true;
        b.colour = colour;
        objects_[kStockBase + static_cast<std::uintptr_t>(index)] = b;
    };
    stockBrush(win::WHITE_BRUSH, win::RGB(255, 255, 255));
    stockBrush(win::BLACK_BRUSH, win::RGB(0, 0, 0));
    stockFont(win::OEM_FIXED_FONT, win::OEM_CHARSET);
    stockFont(win::ANSI_FIXED_FONT, win::ANSI_CHARSET);
    stockFont(win::SYSTEM_FONT, win::ANSI_CHARSET);
    stockFont(win::SYSTEM_FIXED_FONT, win::ANSI_CHARSET);
    AddDirectory("c:\\");
}

SimMachine::~SimMachine() {
    DetachSpeech();
}

// ---- Clock and scheduler ----

void SimMachine::Schedule(std::uint32_t at, Happening h) {
    if (at < now_) at = now_;
    happenings_.emplace(HappeningKey{at, order_++}, std::move(h));
}

void SimMachine::AdvanceTo(std::uint32_t t) {
    while (!happenings_.empty() && happenings_.begin()->first.first <= t) {
        auto it = happenings_.begin();
        Happening h = it->second;
        now_ = std::max(now_, it->first.first);
        happenings_.erase(it);
        Deliver(h);
    }
    now_ = std::max(now_, t);
}

bool SimMachine::AdvanceToNextHappening() {
    if (happenings_.empty()) return false;
    AdvanceTo(happenings_.begin()->first.first);
    return true;
}

void SimMachine::CancelHappenings(const std::function<bool(const Happening&)>& match) {
    for (auto it = happenings_.begin(); it != happenings_.end();) {
        if (match(it->second))
            it = happenings_.erase(it);
        else
            ++it;
    }
}

void SimMachine::Deliver(const Happening& h) {
    switch (h.kind) {
        case Happening::Kind::kInput: {
            win::HWND to = focus_ != nullptr ? focus_ : TopWindow();
            if (to == nullptr) return;  // nobody to type to: the input is lost
            Queued q;
            q.msg = win::MSG{to, h.message, h.wp, h.lp, now_, {}};
            q.ch = h.ch;
            queue_.push_back(q);
            return;
        }
        case Happening::Kind::kFocus: {
            win::HWND top = TopWindow();
            if (top == nullptr) return;
            if (h.message == win::WM_SETFOCUS) {
                if (focus_ == top) return;
                focus_ = top;
            } else {
                if (focus_ == nullptr) return;
                top = focus_;
                focus_ = nullptr;
            }
            queue_.push_back(Queued{win::MSG{top, h.message, 0, 0, now_, {}}, 0});
            return;
        }
        case Happening::Kind::kClose: {
            win::HWND top = TopWindow();
            if (top != nullptr)
                queue_.push_back(Queued{win::MSG{top, win::WM_CLOSE, 0, 0, now_, {}}, 0});
            return;
        }
        case Happening::Kind::kWaveDone:
            FinishWaveBlock(h.device, h.hdr);
            return;
        case Happening::Kind::kMciNotify:
            for (auto& d : mci_) {
                if (d.id != h.device) continue;
                EndClip(d, win::MCI_NOTIFY_SUCCESSFUL);
                ShowClip(d, Picture::kClipLastFrame);  // played to its end: open on its last frame
            }
            return;
        case Happening::Kind::kBrailleKey:
            DeliverBrailleKey(h);
            return;
        case Happening::Kind::kSpeechDone:
            DeliverSpeechDone(h);
            return;
    }
}

void SimMachine::Sleep(win::DWORD ms) {
    OnBlockingCall();
    std::uint64_t to = std::uint64_t{now_} + ms;
    AdvanceTo(static_cast<std::uint32_t>(
        std::min<std::uint64_t>(to, std::numeric_limits<std::uint32_t>::max())));
}

// ---- Recorder ----

void SimMachine::Record(std::string kind, std::string detail) {
    events_.push_back(Event{now_, std::move(kind), std::move(detail)});
    if (observer_) observer_(events_.back());
}

void SimMachine::SetObserver(std::function<void(const Event&)> observer) {
    observer_ = std::move(observer);
}

void SimMachine::ClearRecords() {
    events_.clear();
    textRuns_.clear();
    blits_.clear();
    patBlts_.clear();
    sounds_.clear();
    mciCommands_.clear();
    waveWrites_.clear();
    filesOpened_.clear();
    ClearSpeechCalls();
    // What each window shows now stays known.
    std::vector<PictureChange> current;
    for (const PictureChange& c : pictures_) {
        auto same = std::find_if(current.begin(), current.end(),
                                 [&](const PictureChange& k) { return k.window == c.window; });
        if (same == current.end()) {
            current.push_back(c);
        } else {
            *same = c;
        }
    }
    pictures_ = std::move(current);
}

std::string SimMachine::Title() const {
    for (const auto& w : windows_)
        if (w.parent == nullptr) return w.title;
    return {};
}

SimMachine::CaretState SimMachine::Caret() const {
    return CaretState{caret_.exists, caret_.exists && caret_.hideCount == 0,
                      caret_.x,      caret_.y,
                      caret_.w,      caret_.h};
}

// ---- Settings ----

void SimMachine::SetModuleFileName(std::string path) {
    moduleFileName_ = std::move(path);
}
void SimMachine::SetWindowsDirectory(std::string path) {
    windowsDir_ = std::move(path);
}
void SimMachine::SetAssumeMediaExists(bool on) {
    assumeMedia_ = on;
}
void SimMachine::MarkMediaMissing(std::string baseName) {
    missingMedia_.push_back(win::FoldCase(baseName));
}
void SimMachine::SetClipLength(std::uint32_t ms) {
    clipLength_ = ms;
}
void SimMachine::SetCueLength(std::uint32_t ms) {
    cueLength_ = ms;
}

void SimMachine::AddLibrary(std::string name, std::map<std::string, win::FARPROC> procs) {
    libraries_.push_back(Library{std::move(name), std::move(procs), 0});
}

// Libraries are named by file name; handles are 1 + their index, shifted off zero.
win::HMODULE SimMachine::LoadLibraryA(const char* name) {
    if (name == nullptr) return nullptr;
    std::string wanted = win::SplitPath(name).name;
    for (std::size_t i = 0; i < libraries_.size(); ++i) {
        if (win::SameName(win::SplitPath(libraries_[i].name).name, wanted)) {
            ++libraries_[i].refs;
            return reinterpret_cast<win::HMODULE>((i + 1) << 4);
        }
    }
    return nullptr;
}

win::FARPROC SimMachine::GetProcAddress(win::HMODULE module, const char* name) {
    auto index = (reinterpret_cast<std::uintptr_t>(module) >> 4);
    if (name == nullptr || index == 0 || index > libraries_.size()) return nullptr;
    const Library& lib = libraries_[index - 1];
    if (lib.refs == 0) return nullptr;
    auto it = lib.procs.find(name);
    return it == lib.procs.end() ? nullptr : it->second;
}

win::BOOL SimMachine::FreeLibrary(win::HMODULE module) {
    auto index = (reinterpret_cast<std::uintptr_t>(module) >> 4);
    if (index == 0 || index > libraries_.size() || libraries_[index - 1].refs == 0)
        return win::FALSE;
    --libraries_[index - 1].refs;
    return win::TRUE;
}

// ---- Bells and boxes ----

win::BOOL SimMachine::MessageBeep(win::UINT type) {
    Record("beep", std::to_string(type));
    return win::TRUE;
}

int SimMachine::MessageBoxA(win::HWND, const char* text, const char* caption, win::UINT type) {
    Record("messagebox", std::string(caption != nullptr ? caption : "") + ": " +
                             std::string(text != nullptr ? text : "") + " (" +
                             std::to_string(type) + ")");
    return win::IDOK;
}

int SimMachine::GetSystemMetrics(int index) {
    switch (index) {
        case win::SM_CXSCREEN:
            return 1024;
        case win::SM_CYSCREEN:
            return 768;
        case win::SM_CYCAPTION:
            return 19;
        case win::SM_CXFRAME:
        case win::SM_CYFRAME:
            return 4;
        default:
            return 0;
    }
}

win::BOOL SimMachine::SystemParametersInfoA(win::UINT action, win::UINT, void* out, win::UINT) {
    if (action != win::SPI_GETWORKAREA || out == nullptr) return win::FALSE;
    *static_cast<win::RECT*>(out) = win::RECT{0, 0, 1024, 734};
    return win::TRUE;
}

}  // namespace sim
