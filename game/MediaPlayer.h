// The letter game's players: narrated video clips through MCI command strings, under the
// one alias "pipoco", and short WAV cues through sndPlaySoundA.
#pragma once

#include <string>
#include <string_view>

#include "platform/wintypes.h"

namespace sonara {

class MediaPlayer {
  public:
    MediaPlayer();
    ~MediaPlayer();
    MediaPlayer(const MediaPlayer&) = delete;
    MediaPlayer& operator=(const MediaPlayer&) = delete;

    // The player of this process, or null when none exists.
    static MediaPlayer* Current();

    // The directory of the cues (the game's sound directory).
    void SetSoundDirectory(std::string directory) { sound_directory_ = std::move(directory); }
    const std::string& SoundDirectory() const { return sound_directory_; }

    bool ClipPlaying() const { return clip_playing_; }

    // One MCI command with the console window as notification window; the MCI error code.
    win::MCIERROR SendMci(const std::string& command);
    // Opens and starts a clip; an empty name does nothing.
    void OpenClip(std::string_view file);
    // Opens, places and plays a path that is already quoted.
    void OpenQuoted(const std::string& quotedPath);
    void CloseClip();
    // Until the clip's end is notified, reading and dropping keys.
    void WaitClipEnd();
    // Plays clip `name` + ".mp4" to its end: keys pressed meanwhile are read and dropped.
    void PlayClip(std::string_view name);
    // Cue `name` + ".wav" of the sound directory: to its end, or started and left playing.
    void PlayCue(std::string_view name);
    void PlayCueAsync(std::string_view name);

    // The console's MM_MCINOTIFY hook: any notification ends the current clip's wait.
    static void OnClipNotify(win::HWND window, win::WPARAM wParam, win::LPARAM lParam);

    // The path a cue is played from.
    std::string CuePath(std::string_view name) const;
    // The quoted path OpenClip opens for `file` (trimmed); empty when the name is empty.
    static std::string ClipPath(std::string_view file);

  private:
    bool clip_playing_ = false;
    std::string sound_directory_;
    MediaPlayer* previous_ = nullptr;
};

// The clip player's operations on the current player.
void PlayClip(std::string_view name);
void PlayCue(std::string_view name);
void PlayCueAsync(std::string_view name);

}  // namespace sonara
