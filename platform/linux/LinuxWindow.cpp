#include "platform/linux/LinuxWindow.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace win {

namespace {

constexpr int kMaxSide = 16384;

SDL_Surface* NewSurface(int w, int h) {
    return SDL_CreateRGBSurfaceWithFormat(0, std::max(1, w), std::max(1, h), 32,
                                          SDL_PIXELFORMAT_RGB888);
}

Uint32 Pixel(const SDL_Surface* s, COLORREF c) {
    return SDL_MapRGB(s->format, GetRValue(c), GetGValue(c), GetBValue(c));
}

// a ∩ b; empty (right <= left) when they do not meet.
RECT Intersect(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// The largest rectangle of a w x h picture's shape inside `area`, centred.
RECT FitInto(const RECT& area, int w, int h) {
    const long long aw = area.right - area.left;
    const long long ah = area.bottom - area.top;
    if (w <= 0 || h <= 0 || aw <= 0 || ah <= 0) return area;
    long long fw = aw;
    long long fh = aw * h / w;
    if (fh > ah) {
        fh = ah;
        fw = ah * w / h;
    }
    const auto x = static_cast<LONG>(area.left + (aw - fw) / 2);
    const auto y = static_cast<LONG>(area.top + (ah - fh) / 2);
    return RECT{x, y, x + static_cast<LONG>(fw), y + static_cast<LONG>(fh)};
}

}  // namespace

LinuxWindow::LinuxWindow(HWND handle, WNDPROC p, COLORREF bg, int width, int height)
    : proc(p), background(bg), handle_(handle) {
    width_ = std::clamp(width, 1, kMaxSide);
    height_ = std::clamp(height, 1, kMaxSide);
    backing_ = NewSurface(width_, height_);
    if (backing_) SDL_FillRect(backing_, nullptr, Pixel(backing_, background));
}

LinuxWindow::~LinuxWindow() {
    SDL_FreeSurface(frame_);
    SDL_FreeSurface(backing_);
    if (sdl_) SDL_DestroyWindow(sdl_);
}

bool LinuxWindow::CreateSdlWindow(const std::string& utf8Title, int x, int y, bool resizable) {
    Uint32 flags = SDL_WINDOW_HIDDEN | (resizable ? SDL_WINDOW_RESIZABLE : 0);
    sdl_ = SDL_CreateWindow(utf8Title.c_str(), x, y, width_, height_, flags);
    if (sdl_) SDL_GetWindowPosition(sdl_, &x_, &y_);
    return sdl_ != nullptr;
}

void LinuxWindow::Resize(int width, int height) {
    width = std::clamp(width, 1, kMaxSide);
    height = std::clamp(height, 1, kMaxSide);
    if (width == width_ && height == height_) return;
    SDL_Surface* next = NewSurface(width, height);
    if (!next) return;
    SDL_FillRect(next, nullptr, Pixel(next, background));
    if (backing_) {
        SDL_SetSurfaceBlendMode(backing_, SDL_BLENDMODE_NONE);
        SDL_BlitSurface(backing_, nullptr, next, nullptr);
        SDL_FreeSurface(backing_);
    }
    backing_ = next;
    width_ = width;
    height_ = height;
    // A kept clip frame follows the window: refitted until the clip draws a new one.
    if (frame_) frameTarget_ = FitInto(ClientRect(), frame_->w, frame_->h);
    dirty = true;
}

void LinuxWindow::SetTitle(const std::string& utf8) {
    if (sdl_) SDL_SetWindowTitle(sdl_, utf8.c_str());
}

void LinuxWindow::Show(bool show) {
    shown = show;
    if (!sdl_) return;
    if (show) {
        SDL_ShowWindow(sdl_);
        SDL_RaiseWindow(sdl_);
    } else {
        SDL_HideWindow(sdl_);
    }
    dirty = true;
}

void LinuxWindow::MoveSdl(int x, int y, int width, int height) {
    x_ = x;
    y_ = y;
    if (sdl_) {
        SDL_SetWindowSize(sdl_, std::clamp(width, 1, kMaxSide), std::clamp(height, 1, kMaxSide));
        SDL_SetWindowPosition(sdl_, x, y);
    }
    Resize(width, height);
}

POINT LinuxWindow::Position() const {
    POINT p{x_, y_};
    if (sdl_) SDL_GetWindowPosition(sdl_, &p.x, &p.y);
    return p;
}

void LinuxWindow::Invalidate(const RECT* rect, bool erase) {
    RECT r = rect ? Intersect(*rect, ClientRect()) : ClientRect();
    if (IsEmpty(r)) return;
    if (updatePending_) {
        r = RECT{std::min(r.left, update_.left), std::min(r.top, update_.top),
                 std::max(r.right, update_.right), std::max(r.bottom, update_.bottom)};
    }
    update_ = r;
    updatePending_ = true;
    erasePending_ = erasePending_ || erase;
}

RECT LinuxWindow::TakeUpdate(bool* erase) {
    RECT r = updatePending_ ? update_ : RECT{};
    if (erase) *erase = erasePending_;
    updatePending_ = false;
    erasePending_ = false;
    return r;
}

void LinuxWindow::Fill(const RECT& rect, COLORREF colour, const RECT* clip) {
    RECT r = Intersect(rect, clip ? Intersect(*clip, ClientRect()) : ClientRect());
    if (IsEmpty(r) || !backing_) return;
    SDL_Rect s{r.left, r.top, r.right - r.left, r.bottom - r.top};
    SDL_FillRect(backing_, &s, Pixel(backing_, colour));
    dirty = true;
}

void LinuxWindow::CopyWithin(int x, int y, int w, int h, int sx, int sy, const RECT* clip) {
    if (!backing_ || w <= 0 || h <= 0) return;
    const RECT area = clip ? Intersect(*clip, ClientRect()) : ClientRect();
    // Clip the destination, then shrink the source to what exists.
    RECT dst = Intersect(RECT{x, y, x + std::min(w, kMaxSide), y + std::min(h, kMaxSide)}, area);
    RECT src = Intersect(
        RECT{dst.left - x + sx, dst.top - y + sy, dst.right - x + sx, dst.bottom - y + sy},
        ClientRect());
    dst = RECT{src.left + x - sx, src.top + y - sy, src.right + x - sx, src.bottom + y - sy};
    if (IsEmpty(src) || IsEmpty(dst)) return;
    const int rows = src.bottom - src.top;
    const std::size_t bytes = static_cast<std::size_t>(src.right - src.left) * 4;
    auto* base = static_cast<std::uint8_t*>(backing_->pixels);
    const int pitch = backing_->pitch;
    auto copyRow = [&](int i) {
        std::memmove(base + (dst.top + i) * pitch + dst.left * 4,
                     base + (src.top + i) * pitch + src.left * 4, bytes);
    };
    if (dst.top <= src.top) {
        for (int i = 0; i < rows; ++i) copyRow(i);
    } else {
        for (int i = rows - 1; i >= 0; --i) copyRow(i);
    }
    dirty = true;
}

COLORREF LinuxWindow::PixelAt(int x, int y) const {
    if (!backing_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    const auto* row = static_cast<const std::uint8_t*>(backing_->pixels) + y * backing_->pitch;
    Uint32 value;
    std::memcpy(&value, row + x * 4, 4);
    Uint8 r, g, b;
    SDL_GetRGB(value, backing_->format, &r, &g, &b);
    return RGB(r, g, b);
}

void LinuxWindow::ShowFrame(const std::uint8_t* bgr0, int width, int height, int stride,
                            RECT target) {
    if (!bgr0 || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        stride < width * 4) {
        return;
    }
    if (!frame_ || frame_->w != width || frame_->h != height) {
        SDL_FreeSurface(frame_);
        frame_ = NewSurface(width, height);
        if (!frame_) return;
        SDL_SetSurfaceBlendMode(frame_, SDL_BLENDMODE_NONE);
    }
    // RGB888 is stored B, G, R, unused on this little-endian machine: rows copy as they are.
    auto* dst = static_cast<std::uint8_t*>(frame_->pixels);
    for (int row = 0; row < height; ++row) {
        std::memcpy(dst + row * frame_->pitch, bgr0 + static_cast<std::size_t>(row) * stride,
                    static_cast<std::size_t>(width) * 4);
    }
    frameTarget_ = target;
    frameShown_ = true;
    frameStill_ = false;
    dirty = true;
}

void LinuxWindow::ClearFrame() {
    if (frameShown_) dirty = true;
    frameShown_ = false;
    frameStill_ = false;
}

void LinuxWindow::Present(const CaretBar* caret) {
    dirty = false;
    if (!sdl_ || !shown || !backing_) return;
    SDL_Surface* screen = SDL_GetWindowSurface(sdl_);
    if (!screen) return;
    SDL_SetSurfaceBlendMode(backing_, SDL_BLENDMODE_NONE);
    SDL_BlitSurface(backing_, nullptr, screen, nullptr);
    if (frameShown_ && frame_ && !IsEmpty(frameTarget_)) {
        SDL_Rect t{frameTarget_.left, frameTarget_.top, frameTarget_.right - frameTarget_.left,
                   frameTarget_.bottom - frameTarget_.top};
        SDL_BlitScaled(frame_, nullptr, screen, &t);
    }
    if (caret && screen->format->BytesPerPixel == 4) {
        // The caret inverts the pixels under it, as Windows' does.
        RECT c =
            Intersect(RECT{caret->x, caret->y, caret->x + caret->width, caret->y + caret->height},
                      RECT{0, 0, screen->w, screen->h});
        if (!IsEmpty(c) && SDL_LockSurface(screen) == 0) {
            for (int yy = c.top; yy < c.bottom; ++yy) {
                auto* px = reinterpret_cast<Uint32*>(static_cast<std::uint8_t*>(screen->pixels) +
                                                     yy * screen->pitch) +
                           c.left;
                for (int xx = c.left; xx < c.right; ++xx, ++px) *px ^= 0x00FFFFFFu;
            }
            SDL_UnlockSurface(screen);
        }
    }
    SDL_UpdateWindowSurface(sdl_);
}

}  // namespace win
