// The classes the Linux back end delegates to, for its own source files. The audio and
// clips classes are built separately; until their headers exist the back end has no
// sound device and no clip player.
#pragma once

#include "platform/linux/LinuxFiles.h"

#if __has_include("platform/linux/LinuxAudio.h")
#include "platform/linux/LinuxAudio.h"
#define SONARA_HAVE_LINUX_AUDIO 1
#else
namespace win {
class LinuxAudio {};
}  // namespace win
#define SONARA_HAVE_LINUX_AUDIO 0
#endif

#if __has_include("platform/linux/LinuxClips.h")
#include "platform/linux/LinuxClips.h"
#define SONARA_HAVE_LINUX_CLIPS 1
#else
namespace win {
class LinuxClips {};
}  // namespace win
#define SONARA_HAVE_LINUX_CLIPS 0
#endif
