// Where clip playback draws its video: the Linux back end's window. The clips code calls
// these on the GUI thread only (from DispatchMessageA of a message it posted to itself),
// never from a decoder or mpv callback thread.
#pragma once

#include <cstdint>

#include "platform/wintypes.h"

namespace win {

struct VideoSink {
    virtual ~VideoSink() = default;
    // Draws one frame of packed 32-bit pixels, bytes B,G,R,unused per pixel ("bgr0"),
    // rows `stride` bytes apart, scaled into `target` (client coordinates of `window`).
    // The frame stays on screen, over the window's own drawing, until ClearFrame.
    // The pixels are copied before the call returns.
    virtual void ShowFrame(HWND window, const std::uint8_t* bgr0, int width, int height, int stride,
                           RECT target) = 0;
    // Removes the video from the window, showing its own drawing again.
    virtual void ClearFrame(HWND window) = 0;
    // The clip in `window` has ended: its last frame stays, through repaints of expose,
    // resize and focus, until ClearFrame, a new frame, or the program's own drawing in the
    // window (a write or an invalidation: what the program puts there is meant to be seen).
    virtual void StillFrame(HWND window) = 0;
    // The client rectangle of `window` ({0,0,0,0} for an unknown window).
    virtual RECT ClientRect(HWND window) = 0;
};

}  // namespace win
