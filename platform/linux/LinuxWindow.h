// One top-level window of the Linux back end: the SDL window (absent when there is no
// display), the backing surface every DC draws on, the update region, and the video
// frame shown over it. The whole surface is the client area: SDL's decorations (if any)
// lie outside it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/wintypes.h"

struct SDL_Window;
struct SDL_Surface;

namespace win {

struct CaretBar {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class LinuxWindow {
  public:
    LinuxWindow(HWND handle, WNDPROC proc, COLORREF background, int width, int height);
    ~LinuxWindow();
    LinuxWindow(const LinuxWindow&) = delete;
    LinuxWindow& operator=(const LinuxWindow&) = delete;

    // Creates the SDL window (hidden); false leaves the window off-screen.
    bool CreateSdlWindow(const std::string& utf8Title, int x, int y, bool resizable);

    HWND handle() const { return handle_; }
    WNDPROC proc = nullptr;
    COLORREF background = 0;
    std::string title;  // Windows-1252
    bool shown = false;
    bool maximized = false;
    bool dirty = false;  // drawn since the last present

    SDL_Window* sdl() const { return sdl_; }
    SDL_Surface* surface() const { return backing_; }
    int width() const { return width_; }
    int height() const { return height_; }
    RECT ClientRect() const { return RECT{0, 0, width_, height_}; }

    // Keeps the pixels that still fit; new area takes the background colour.
    void Resize(int width, int height);
    void SetTitle(const std::string& cp1252);
    void Show(bool show);
    void MoveSdl(int x, int y, int width, int height);
    POINT Position() const;

    // Update region (kept as one bounding rectangle, clipped to the client area).
    void Invalidate(const RECT* rect, bool erase);
    bool NeedsPaint() const { return updatePending_; }
    RECT TakeUpdate(bool* erase);

    // Pixels of the backing surface.
    void Fill(const RECT& rect, COLORREF colour, const RECT* clip);
    // Copies a w x h block from (sx, sy) to (x, y), overlapping allowed.
    void CopyWithin(int x, int y, int w, int h, int sx, int sy, const RECT* clip);
    COLORREF PixelAt(int x, int y) const;

    // The clip frame: copied, shown scaled into `target` over the backing surface until
    // ClearFrame; a resize refits it, keeping its shape, centred in the new client area.
    void ShowFrame(const std::uint8_t* bgr0, int width, int height, int stride, RECT target);
    void ClearFrame();
    bool HasFrame() const { return frameShown_; }
    RECT FrameTarget() const { return frameTarget_; }
    // The clip ended: the frame stays as a still picture until the program draws.
    void StillFrame() { frameStill_ = frameShown_; }
    // The program drew in the window itself (not in a repaint): a still frame gives way.
    void ProgramDrew() {
        if (frameStill_) ClearFrame();
    }

    // Puts the backing surface, the frame and the caret on screen.
    void Present(const CaretBar* caret);

  private:
    HWND handle_;
    SDL_Window* sdl_ = nullptr;
    SDL_Surface* backing_ = nullptr;
    SDL_Surface* frame_ = nullptr;
    RECT frameTarget_;
    bool frameShown_ = false;
    bool frameStill_ = false;
    int width_ = 0;
    int height_ = 0;
    int x_ = 0;
    int y_ = 0;
    RECT update_;
    bool updatePending_ = false;
    bool erasePending_ = false;
};

}  // namespace win
