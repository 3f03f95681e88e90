// Device contexts, GDI objects, text, blits and the caret of the Linux back end.
#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/linux/LinuxBackend.h"

namespace win {

namespace {

constexpr DWORD kBlackness = 0x00000042;
constexpr DWORD kWhiteness = 0x00FF0062;
constexpr int kMaxTextRun = 4096;

// Coordinates far outside any window are brought within a range where the drawing code's
// sums (x + width, x - sx) cannot overflow; clipping then leaves nothing to draw.
constexpr int kCoordLimit = 1 << 24;
int Coord(int v) {
    return std::clamp(v, -kCoordLimit, kCoordLimit);
}

}  // namespace

HGDIOBJ LinuxBackend::AddStock(GdiObject obj) {
    obj.stock = true;
    HGDIOBJ h = reinterpret_cast<HGDIOBJ>(NextId());
    objects_.emplace(h, std::move(obj));
    return h;
}

void LinuxBackend::CreateStockObjects() {
    struct Brush {
        int index;
        COLORREF colour;
    };
    for (Brush b : {Brush{WHITE_BRUSH, RGB(255, 255, 255)}, Brush{1, RGB(192, 192, 192)},
                    Brush{2, RGB(128, 128, 128)}, Brush{3, RGB(64, 64, 64)},
                    Brush{BLACK_BRUSH, RGB(0, 0, 0)}}) {
        GdiObject obj;
        obj.colour = b.colour;
        stock_[b.index] = AddStock(std::move(obj));
    }
    // Stock fonts: the system's monospace face; the OEM one a little smaller.
    struct Font {
        int index;
        int height;
    };
    for (Font f :
         {Font{OEM_FIXED_FONT, 14}, Font{ANSI_FIXED_FONT, 16}, Font{12, 16}, Font{SYSTEM_FONT, 16},
          Font{14, 16}, Font{SYSTEM_FIXED_FONT, 16}, Font{17, 16}}) {
        GdiObject obj;
        obj.isFont = true;
        obj.spec.height = f.height;
        obj.spec.face = "monospace";
        obj.spec.charSet = f.index == OEM_FIXED_FONT ? OEM_CHARSET : ANSI_CHARSET;
        stock_[f.index] = AddStock(std::move(obj));
    }
}

LinuxBackend::GdiObject* LinuxBackend::FindObject(HGDIOBJ obj) {
    auto it = objects_.find(obj);
    return it == objects_.end() ? nullptr : &it->second;
}

LinuxBackend::Dc* LinuxBackend::FindDc(HDC dc) {
    auto it = dcs_.find(dc);
    return it == dcs_.end() ? nullptr : &it->second;
}

COLORREF LinuxBackend::BrushColour(HGDIOBJ brush) {
    GdiObject* obj = FindObject(brush);
    return (obj && !obj->isFont) ? obj->colour : RGB(0, 0, 0);
}

LinuxFont* LinuxBackend::OpenFont(GdiObject& obj) {
    if (!obj.opened) {
        obj.opened = true;
        if (fontSystem_.Ready()) obj.font = LinuxFont::Open(obj.spec);
    }
    return obj.font.get();
}

LinuxFont* LinuxBackend::FontOf(const Dc& dc) {
    if (GdiObject* obj = FindObject(dc.font); obj && obj->isFont) {
        if (LinuxFont* f = OpenFont(*obj)) return f;
    }
    GdiObject* fallback = FindObject(stock_[SYSTEM_FIXED_FONT]);
    return fallback ? OpenFont(*fallback) : nullptr;
}

HDC LinuxBackend::NewDc(HWND hwnd, bool paint, RECT clip) {
    HDC h = reinterpret_cast<HDC>(NextId());
    Dc dc;
    dc.hwnd = hwnd;
    dc.font = stock_[SYSTEM_FONT];
    dc.brush = stock_[WHITE_BRUSH];
    dc.paint = paint;
    dc.clip = clip;
    dcs_[h] = dc;
    return h;
}

HDC LinuxBackend::GetDC(HWND hwnd) {
    if (!hwnd) return NewDc(nullptr, false, RECT{});
    LinuxWindow* w = Find(hwnd);
    if (!w) return nullptr;
    return NewDc(hwnd, false, w->ClientRect());
}

int LinuxBackend::ReleaseDC(HWND, HDC dc) {
    return dcs_.erase(dc) ? 1 : 0;
}

HDC LinuxBackend::BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    LinuxWindow* w = Find(hwnd);
    if (!w) return nullptr;
    bool erase = false;
    const RECT update = w->TakeUpdate(&erase);
    HDC dc = NewDc(hwnd, true, update);
    if (erase) {
        erase = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
    }
    if (ps) {
        ps->hdc = dc;
        ps->fErase = erase ? TRUE : FALSE;
        ps->rcPaint = update;
    }
    return dc;
}

BOOL LinuxBackend::EndPaint(HWND, const PAINTSTRUCT* ps) {
    if (ps) dcs_.erase(ps->hdc);
    return TRUE;
}

void LinuxBackend::EraseBackground(HWND hwnd, HDC hdc) {
    LinuxWindow* w = Find(hwnd);
    Dc* dc = FindDc(hdc);
    if (!w || !dc) return;
    w->Fill(dc->clip, w->background, &dc->clip);
}

HFONT LinuxBackend::CreateFontA(int height, int width, int, int, int weight, DWORD italic, DWORD,
                                DWORD, DWORD charSet, DWORD, DWORD, DWORD, DWORD,
                                const char* face) {
    GdiObject obj;
    obj.isFont = true;
    obj.spec.height = height;
    obj.spec.width = width;
    obj.spec.weight = weight;
    obj.spec.italic = italic != 0;
    obj.spec.charSet = static_cast<int>(charSet & 0xFF);
    obj.spec.face = face ? std::string(face, strnlen(face, 64)) : "";
    if (!fontSystem_.Ready() || !OpenFont(obj)) return nullptr;
    HGDIOBJ h = reinterpret_cast<HGDIOBJ>(NextId());
    objects_.emplace(h, std::move(obj));
    return h;
}

HGDIOBJ LinuxBackend::GetStockObject(int index) {
    auto it = stock_.find(index);
    return it == stock_.end() ? nullptr : it->second;
}

HGDIOBJ LinuxBackend::SelectObject(HDC hdc, HGDIOBJ obj) {
    Dc* dc = FindDc(hdc);
    GdiObject* o = FindObject(obj);
    if (!dc || !o) return nullptr;
    HGDIOBJ& slot = o->isFont ? dc->font : dc->brush;
    HGDIOBJ old = slot;
    slot = obj;
    return old;
}

BOOL LinuxBackend::DeleteObject(HGDIOBJ obj) {
    auto it = objects_.find(obj);
    if (it == objects_.end() || it->second.stock) return FALSE;
    // A DC still holding it falls back to the stock object of its kind.
    for (auto& [h, dc] : dcs_) {
        if (dc.font == obj) dc.font = stock_[SYSTEM_FONT];
        if (dc.brush == obj) dc.brush = stock_[WHITE_BRUSH];
    }
    objects_.erase(it);
    return TRUE;
}

BOOL LinuxBackend::GetTextMetricsA(HDC hdc, TEXTMETRICA* tm) {
    Dc* dc = FindDc(hdc);
    if (!dc || !tm) return FALSE;
    LinuxFont* font = FontOf(*dc);
    if (!font) return FALSE;
    *tm = font->Metrics();
    return TRUE;
}

COLORREF LinuxBackend::SetTextColor(HDC hdc, COLORREF color) {
    Dc* dc = FindDc(hdc);
    if (!dc) return 0xFFFFFFFFu;
    return std::exchange(dc->text, color & 0xFFFFFF);
}

COLORREF LinuxBackend::SetBkColor(HDC hdc, COLORREF color) {
    Dc* dc = FindDc(hdc);
    if (!dc) return 0xFFFFFFFFu;
    return std::exchange(dc->bk, color & 0xFFFFFF);
}

int LinuxBackend::SetBkMode(HDC hdc, int mode) {
    Dc* dc = FindDc(hdc);
    if (!dc || (mode != OPAQUE && mode != TRANSPARENT)) return 0;
    return std::exchange(dc->bkMode, mode);
}

BOOL LinuxBackend::TextOutA(HDC hdc, int x, int y, const char* text, int count) {
    Dc* dc = FindDc(hdc);
    if (!dc || (!text && count > 0) || count < 0) return FALSE;
    if (!dc->hwnd || count == 0) return TRUE;  // the screen DC only measures
    LinuxWindow* w = Find(dc->hwnd);
    LinuxFont* font = FontOf(*dc);
    if (!w || !font) return FALSE;
    const RECT& c = dc->clip;
    const SDL_Rect clip{c.left, c.top, c.right - c.left, c.bottom - c.top};
    font->Draw(w->surface(), Coord(x), Coord(y),
               std::string_view(text, std::min(count, kMaxTextRun)), dc->text, dc->bk,
               dc->bkMode == OPAQUE, clip);
    if (!dc->paint) w->ProgramDrew();
    w->dirty = true;
    return TRUE;
}

BOOL LinuxBackend::BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
    Dc* d = FindDc(dst);
    Dc* s = FindDc(src);
    if (!d || !s || rop != SRCCOPY) return FALSE;
    if (!d->hwnd) return TRUE;
    // Blits are inside one window: the console scrolls its own pixels.
    if (d->hwnd != s->hwnd) return FALSE;
    LinuxWindow* win = Find(d->hwnd);
    if (!win) return FALSE;
    if (!d->paint) win->ProgramDrew();
    win->CopyWithin(Coord(x), Coord(y), Coord(w), Coord(h), Coord(sx), Coord(sy), &d->clip);
    return TRUE;
}

BOOL LinuxBackend::PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
    Dc* dc = FindDc(hdc);
    if (!dc) return FALSE;
    COLORREF colour;
    if (rop == PATCOPY) {
        colour = BrushColour(dc->brush);
    } else if (rop == kBlackness) {
        colour = RGB(0, 0, 0);
    } else if (rop == kWhiteness) {
        colour = RGB(255, 255, 255);
    } else {
        return FALSE;
    }
    if (!dc->hwnd) return TRUE;
    LinuxWindow* win = Find(dc->hwnd);
    if (!win) return FALSE;
    // A negative width or height extends left or up, as in GDI.
    x = Coord(x);
    y = Coord(y);
    w = Coord(w);
    h = Coord(h);
    RECT r{std::min(x, x + w), std::min(y, y + h), std::max(x, x + w), std::max(y, y + h)};
    if (!dc->paint) win->ProgramDrew();
    win->Fill(r, colour, &dc->clip);
    return TRUE;
}

HBRUSH LinuxBackend::CreateSolidBrush(COLORREF color) {
    GdiObject obj;
    obj.colour = color & 0xFFFFFF;
    HGDIOBJ h = reinterpret_cast<HGDIOBJ>(NextId());
    objects_.emplace(h, std::move(obj));
    return h;
}

BOOL LinuxBackend::CreateCaret(HWND hwnd, HGDIOBJ, int width, int height) {
    if (!Find(hwnd)) return FALSE;
    DestroyCaret();
    caret_.owner = hwnd;
    caret_.bar.width = std::clamp(width <= 0 ? 1 : width, 1, 4096);
    caret_.bar.height = std::clamp(height <= 0 ? 1 : height, 1, 4096);
    caret_.visible = false;  // hidden until ShowCaret, as in Windows
    caret_.hideCount = 1;
    return TRUE;
}

BOOL LinuxBackend::SetCaretPos(int x, int y) {
    if (!caret_.owner) return FALSE;
    caret_.bar.x = Coord(x);
    caret_.bar.y = Coord(y);
    if (LinuxWindow* w = Find(caret_.owner)) w->dirty = true;
    return TRUE;
}

BOOL LinuxBackend::ShowCaret(HWND hwnd) {
    if (!caret_.owner || (hwnd && hwnd != caret_.owner)) return FALSE;
    if (caret_.hideCount > 0) --caret_.hideCount;
    caret_.visible = caret_.hideCount == 0;
    if (LinuxWindow* w = Find(caret_.owner)) w->dirty = true;
    return TRUE;
}

BOOL LinuxBackend::HideCaret(HWND hwnd) {
    if (!caret_.owner || (hwnd && hwnd != caret_.owner)) return FALSE;
    ++caret_.hideCount;
    caret_.visible = false;
    if (LinuxWindow* w = Find(caret_.owner)) w->dirty = true;
    return TRUE;
}

BOOL LinuxBackend::DestroyCaret() {
    if (!caret_.owner) return FALSE;
    if (LinuxWindow* w = Find(caret_.owner)) w->dirty = true;
    caret_ = Caret{};
    return TRUE;
}

COLORREF LinuxBackend::PixelAt(HWND hwnd, int x, int y) {
    LinuxWindow* w = Find(hwnd);
    return w ? w->PixelAt(x, y) : 0;
}

// ---- Video frames ----------------------------------------------------------------------

void LinuxBackend::ShowFrame(HWND window, const std::uint8_t* bgr0, int width, int height,
                             int stride, RECT target) {
    if (LinuxWindow* w = Find(window)) w->ShowFrame(bgr0, width, height, stride, target);
}

void LinuxBackend::StillFrame(HWND window) {
    if (LinuxWindow* w = Find(window)) w->StillFrame();
}

void LinuxBackend::ClearFrame(HWND window) {
    if (LinuxWindow* w = Find(window)) w->ClearFrame();
}

RECT LinuxBackend::ClientRect(HWND window) {
    LinuxWindow* w = Find(window);
    return w ? w->ClientRect() : RECT{};
}

}  // namespace win
