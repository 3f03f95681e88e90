// MCI command strings on the simulated machine: the commands the clip player sends, with
// a clip of virtual length and MM_MCINOTIFY posted at its end.
#include <algorithm>
#include <cstring>

#include "platform/paths.h"
#include "platform/sim/MciWords.h"
#include "platform/sim/SimMachine.h"

namespace sim {

namespace {

bool HasWord(const std::vector<std::string>& words, std::string_view word) {
    return std::any_of(words.begin() + 1, words.end(),
                       [&](const std::string& w) { return win::SameName(w, word); });
}

// The word after `key`, or "".
std::string WordAfter(const std::vector<std::string>& words, std::string_view key) {
    for (std::size_t i = 2; i + 1 < words.size(); ++i)
        if (win::SameName(words[i], key)) return words[i + 1];
    return {};
}

}  // namespace

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
    auto split = SplitMciWords(command);
    if (!split) return win::MCIERR_NO_CLOSING_QUOTE;
    const std::vector<std::string>& words = *split;
    if (words.empty()) return win::MCIERR_MISSING_COMMAND_STRING;
    std::string verb = win::FoldCase(words[0]);
    static const char* const kVerbs[] = {"open",   "close", "play",  "stop", "pause",
                                         "resume", "seek",  "where", "put",  "window",
                                         "status", "set",   "cue"};
    if (std::none_of(std::begin(kVerbs), std::end(kVerbs),
                     [&](const char* v) { return verb == v; }))
        return win::MCIERR_UNRECOGNIZED_COMMAND;
    if (words.size() < 2) return win::MCIERR_MISSING_DEVICE_NAME;

    auto findAlias = [&](std::string_view alias) {
        std::string key = win::FoldCase(alias);
        return std::find_if(mci_.begin(), mci_.end(),
                            [&](const MciDevice& d) { return d.alias == key; });
    };

    if (verb == "open") {
        std::string alias = WordAfter(words, "alias");
        if (alias.empty()) alias = words[1];
        if (findAlias(alias) != mci_.end()) return win::MCIERR_DUPLICATE_ALIAS;
        std::string key = FileKey(words[1]);
        if (files_.count(key) == 0 && !MediaAssumed(words[1])) return win::MCIERR_FILE_NOT_FOUND;
        MciDevice d;
        d.alias = win::FoldCase(alias);
        d.path = words[1];
        d.id = nextMciId_++;
        mci_.push_back(d);
        return 0;
    }

    if (verb == "close" && win::SameName(words[1], "all")) {
        for (MciDevice& d : mci_) {
            int id = d.id;
            CancelHappenings([id](const Happening& h) {
                return h.kind == Happening::Kind::kMciNotify && h.device == id;
            });
            if (d.playing || d.notifyPending) EndClip(d, win::MCI_NOTIFY_ABORTED);
        }
        mci_.clear();
        return 0;
    }
    auto it = findAlias(words[1]);
    if (it == mci_.end()) return win::MCIERR_INVALID_DEVICE_NAME;
    MciDevice& d = *it;
    int id = d.id;
    auto cancelEnd = [&] {
        CancelHappenings([id](const Happening& h) {
            return h.kind == Happening::Kind::kMciNotify && h.device == id;
        });
    };

    if (verb == "play") {
        if (d.notifyPending) {
            d.notifyPending = false;
            PostMessageA(d.notifyTo, win::MM_MCINOTIFY, win::MCI_NOTIFY_SUPERSEDED, id);
        }
        cancelEnd();
        d.playing = true;
        d.end = now_ + clipLength_;
        if (HasWord(words, "notify")) {
            d.notifyPending = true;
            d.notifyTo = callback != nullptr ? callback : d.window;
        }
        Happening h{Happening::Kind::kMciNotify};
        h.device = id;
        Schedule(d.end, h);
        if (HasWord(words, "wait")) Sleep(d.end - now_);
        return 0;
    }
    if (verb == "stop" || verb == "close") {
        cancelEnd();
        if (d.playing || d.notifyPending) EndClip(d, win::MCI_NOTIFY_ABORTED);
        if (verb == "close") mci_.erase(it);
        return 0;
    }
    if (verb == "window") {
        std::string handle = WordAfter(words, "handle");
        if (!handle.empty()) {
            std::uintptr_t v = 0;
            for (char c : handle) {
                if (c < '0' || c > '9') return win::MCIERR_BAD_INTEGER;
                v = v * 10 + static_cast<std::uintptr_t>(c - '0');
            }
            d.window = reinterpret_cast<win::HWND>(v);
        }
        return 0;
    }
    if (verb == "where") {
        reply = "0 0 1024 768";
        return 0;
    }
    if (verb == "status") {
        if (HasWord(words, "mode")) reply = d.playing ? "playing" : "stopped";
        if (HasWord(words, "length")) reply = std::to_string(clipLength_);
        if (HasWord(words, "position"))
            reply = std::to_string(d.playing ? clipLength_ - (d.end - now_) : clipLength_);
        return 0;
    }
    return 0;  // put, set, seek, pause, resume, cue: accepted
}

}  // namespace sim
