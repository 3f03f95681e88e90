// MCI command strings on the simulated machine: the commands the clip player sends, with
// a clip of virtual length and MM_MCINOTIFY posted at its end.
#include <algorithm>
#include <cstring>

#include "platform/mci_command.h"
#include "platform/paths.h"
#include "platform/sim/SimMachine.h"

namespace sim {

// Records what the device's window shows from now on, when that changes.
void SimMachine::ShowClip(MciDevice& d, Picture picture) {
    if (d.window == nullptr) {
        d.picture = picture;  // a clip without a window is seen nowhere
        return;
    }
    if (d.picture == picture && picture != Picture::kClipPlaying) return;
    d.picture = picture;
    const std::string clip = picture == Picture::kOwnDrawing ? std::string() : d.path;
    pictures_.push_back(PictureChange{now_, d.window, picture, clip});
    switch (picture) {
        case Picture::kOwnDrawing:
            Record("picture", "own");
            break;
        case Picture::kClipPlaying:
            Record("picture", "clip " + clip);
            break;
        case Picture::kClipLastFrame:
            Record("picture", "last-frame " + clip);
            break;
    }
}

void SimMachine::ProgramDrew(win::HWND hwnd) {
    for (MciDevice& d : mci_) {
        if (d.picture == Picture::kClipLastFrame && (hwnd == nullptr || d.window == hwnd))
            ShowClip(d, Picture::kOwnDrawing);
    }
}

PictureChange SimMachine::PictureAt(win::HWND window, std::uint32_t at) const {
    PictureChange shown{0, window, Picture::kOwnDrawing, {}};
    for (const PictureChange& c : pictures_) {
        if (c.time > at) break;
        if (c.window == window) shown = c;
    }
    return shown;
}

void SimMachine::EndClip(MciDevice& d, win::WPARAM code) {
    d.playing = false;
    if (!d.notifyPending) return;
    d.notifyPending = false;
    PostMessageA(d.notifyTo, win::MM_MCINOTIFY, code, d.id);
}

win::MCIERROR SimMachine::mciSendStringA(const char* command, char* reply, win::UINT replyLength,
                                         win::HWND callback) {
    std::string text = command != nullptr ? command : "";
    std::string replyText;
    win::MCIERROR result = RunMci(text, replyText, callback);
    if (reply != nullptr && replyLength > 0) {
        std::size_t n = std::min<std::size_t>(replyText.size(), replyLength - 1);
        std::memcpy(reply, replyText.data(), n);
        reply[n] = '\0';
    }
    mciCommands_.push_back(MciCommand{now_, text, result});
    Record("mci", text + " -> " + std::to_string(result));
    return result;
}

win::MCIERROR SimMachine::RunMci(std::string_view command, std::string& reply, win::HWND callback) {
    // The same command language and error codes as the real clip player.
    const win::MciParse parsed = win::ParseMciCommand(command);
    if (parsed.error != 0) return parsed.error;
    const win::MciCommand& cmd = parsed.command;

    auto findAlias = [&](std::string_view alias) {
        std::string key = win::FoldCase(alias);
        return std::find_if(mci_.begin(), mci_.end(),
                            [&](const MciDevice& d) { return d.alias == key; });
    };

    if (cmd.verb == win::MciVerb::kOpen) {
        const std::string& alias = cmd.alias.empty() ? cmd.device : cmd.alias;
        if (findAlias(alias) != mci_.end()) return win::MCIERR_DUPLICATE_ALIAS;
        if (files_.count(FileKey(cmd.device)) == 0 && !MediaAssumed(cmd.device))
            return win::MCIERR_FILE_NOT_FOUND;
        MciDevice d;
        d.alias = win::FoldCase(alias);
        d.path = cmd.device;
        d.id = nextMciId_++;
        mci_.push_back(d);
        return 0;
    }

    if (cmd.verb == win::MciVerb::kClose && win::SameName(cmd.device, "all")) {
        for (MciDevice& d : mci_) {
            int id = d.id;
            CancelHappenings([id](const Happening& h) {
                return h.kind == Happening::Kind::kMciNotify && h.device == id;
            });
            if (d.playing || d.notifyPending) EndClip(d, win::MCI_NOTIFY_ABORTED);
            ShowClip(d, Picture::kOwnDrawing);
        }
        mci_.clear();
        return 0;
    }
    auto it = findAlias(cmd.device);
    if (it == mci_.end()) return win::MCIERR_INVALID_DEVICE_NAME;
    MciDevice& d = *it;
    int id = d.id;
    auto cancelEnd = [&] {
        CancelHappenings([id](const Happening& h) {
            return h.kind == Happening::Kind::kMciNotify && h.device == id;
        });
    };

    switch (cmd.verb) {
        case win::MciVerb::kPlay: {
            if (d.notifyPending) {
                d.notifyPending = false;
                PostMessageA(d.notifyTo, win::MM_MCINOTIFY, win::MCI_NOTIFY_SUPERSEDED, id);
            }
            cancelEnd();
            d.playing = true;
            d.end = now_ + clipLength_;
            if (cmd.notify) {
                d.notifyPending = true;
                d.notifyTo = callback != nullptr ? callback : d.window;
            }
            Happening h{Happening::Kind::kMciNotify};
            h.device = id;
            Schedule(d.end, h);
            ShowClip(d, Picture::kClipPlaying);
            if (cmd.wait) Sleep(d.end - now_);
            return 0;
        }
        case win::MciVerb::kStop:
        case win::MciVerb::kClose:
            cancelEnd();
            if (d.playing || d.notifyPending) EndClip(d, win::MCI_NOTIFY_ABORTED);
            if (cmd.verb == win::MciVerb::kStop) {
                if (d.picture == Picture::kClipPlaying) ShowClip(d, Picture::kClipLastFrame);
                return 0;
            }
            ShowClip(d, Picture::kOwnDrawing);
            {
                // "close ... notify" answers once the device is gone, as on Windows.
                const int id = d.id;
                mci_.erase(it);
                if (cmd.notify && callback != nullptr)
                    PostMessageA(callback, win::MM_MCINOTIFY, win::MCI_NOTIFY_SUCCESSFUL, id);
            }
            return 0;
        case win::MciVerb::kWindow: {
            // The picture moves: the old window shows its own drawing again.
            const Picture shown = d.picture;
            ShowClip(d, Picture::kOwnDrawing);
            d.window = reinterpret_cast<win::HWND>(static_cast<std::uintptr_t>(cmd.windowHandle));
            if (shown != Picture::kOwnDrawing) ShowClip(d, shown);
            return 0;
        }
        case win::MciVerb::kWhere:
            reply = "0 0 1024 768";
            return 0;
        default:
            return 0;  // put: the simulated picture has no place to move
    }
}

}  // namespace sim
