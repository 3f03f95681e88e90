// Every clip and cue the letter game plays, for the media pack and its checks.
#pragma once

#include <string>
#include <vector>

namespace sonara {

// Clip names (the file is the name + ".mp4"): the story clips, A-Z and 0-9.
std::vector<std::string> GameClipNames();
// Cue names (the file is the name + ".wav").
std::vector<std::string> GameCueNames();

}  // namespace sonara
