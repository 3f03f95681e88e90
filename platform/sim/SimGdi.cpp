// Drawing on the simulated machine: device contexts, fonts and brushes, and the recorder
// of text runs, blits, pattern fills and the caret.
#include "platform/sim/SimMachine.h"

namespace sim {

namespace {

constexpr std::uintptr_t kStockBase = 0x100;

win::HGDIOBJ Stock(int index) {
    return reinterpret_cast<win::HGDIOBJ>(kStockBase + static_cast<std::uintptr_t>(index));
}

}  // namespace

SimMachine::Dc* SimMachine::FindDc(win::HDC dc) {
    auto it = dcs_.find(reinterpret_cast<std::uintptr_t>(dc));
    return it == dcs_.end() ? nullptr : &it->second;
}

SimMachine::GdiObject* SimMachine::FindObject(win::HGDIOBJ obj) {
    auto it = objects_.find(reinterpret_cast<std::uintptr_t>(obj));
    return it == objects_.end() ? nullptr : &it->second;
}

win::HDC SimMachine::NewDc(win::HWND hwnd, bool paint) {
    Dc dc;
    dc.hwnd = hwnd;
    dc.paint = paint;
    dc.font = Stock(win::SYSTEM_FONT);
    dc.brush = Stock(win::WHITE_BRUSH);
    nextHandle_ += 4;
    dcs_[nextHandle_] = dc;
    return reinterpret_cast<win::HDC>(nextHandle_);
}

win::HDC SimMachine::GetDC(win::HWND hwnd) {
    if (hwnd != nullptr && Find(hwnd) == nullptr) return nullptr;
    return NewDc(hwnd, false);
}

int SimMachine::ReleaseDC(win::HWND, win::HDC dc) {
    return dcs_.erase(reinterpret_cast<std::uintptr_t>(dc)) != 0 ? 1 : 0;
}

win::HDC SimMachine::BeginPaint(win::HWND hwnd, win::PAINTSTRUCT* ps) {
    Window* w = Find(hwnd);
    if (w == nullptr || ps == nullptr) return nullptr;
    ps->rcPaint = w->dirty ? w->update : win::RECT{};
    ps->fErase = w->erase ? win::TRUE : win::FALSE;
    bool erase = w->erase;
    w->dirty = false;
    w->erase = false;
    ps->hdc = NewDc(hwnd, true);
    if (erase)
        ps->fErase =
            SendMessageA(hwnd, win::WM_ERASEBKGND, reinterpret_cast<win::WPARAM>(ps->hdc), 0) != 0
                ? win::FALSE
                : win::TRUE;
    return ps->hdc;
}

win::BOOL SimMachine::EndPaint(win::HWND hwnd, const win::PAINTSTRUCT* ps) {
    if (ps == nullptr) return win::FALSE;
    ReleaseDC(hwnd, ps->hdc);
    return win::TRUE;
}

win::HFONT SimMachine::CreateFontA(int height, int width, int, int, int weight, win::DWORD,
                                   win::DWORD, win::DWORD, win::DWORD charSet, win::DWORD,
                                   win::DWORD, win::DWORD, win::DWORD, const char* face) {
    GdiObject f;
    f.font = true;
    f.height = height == 0 ? 16 : (height < 0 ? -height : height);
    f.width = width == 0 ? 8 : (width < 0 ? -width : width);
    f.weight = weight;
    f.charSet = static_cast<win::BYTE>(charSet);
    f.face = face != nullptr ? face : "";
    nextHandle_ += 4;
    objects_[nextHandle_] = f;
    return reinterpret_cast<win::HFONT>(nextHandle_);
}

win::HGDIOBJ SimMachine::GetStockObject(int index) {
    return FindObject(Stock(index)) != nullptr ? Stock(index) : nullptr;
}

win::HGDIOBJ SimMachine::SelectObject(win::HDC dc, win::HGDIOBJ obj) {
    Dc* d = FindDc(dc);
    GdiObject* o = FindObject(obj);
    if (d == nullptr || o == nullptr) return nullptr;
    win::HGDIOBJ& slot = o->font ? d->font : d->brush;
    win::HGDIOBJ old = slot;
    slot = obj;
    return old;
}

win::BOOL SimMachine::DeleteObject(win::HGDIOBJ obj) {
    GdiObject* o = FindObject(obj);
    if (o == nullptr) return win::FALSE;
    if (!o->stock) objects_.erase(reinterpret_cast<std::uintptr_t>(obj));
    return win::TRUE;
}

win::BOOL SimMachine::GetTextMetricsA(win::HDC dc, win::TEXTMETRICA* tm) {
    Dc* d = FindDc(dc);
    if (d == nullptr || tm == nullptr) return win::FALSE;
    const GdiObject* f = FindObject(d->font);
    GdiObject fallback;  // a font deleted while selected measures as the default
    if (f == nullptr) f = &fallback;
    *tm = win::TEXTMETRICA{};
    tm->tmHeight = f->height;
    tm->tmAscent = f->height - f->height / 4;
    tm->tmDescent = f->height / 4;
    tm->tmAveCharWidth = f->width;
    tm->tmMaxCharWidth = f->width;
    tm->tmWeight = f->weight == 0 ? 400 : f->weight;
    tm->tmCharSet = f->charSet;
    return win::TRUE;
}

win::COLORREF SimMachine::SetTextColor(win::HDC dc, win::COLORREF color) {
    Dc* d = FindDc(dc);
    if (d == nullptr) return 0xFFFFFFFFu;  // CLR_INVALID
    win::COLORREF old = d->fg;
    d->fg = color;
    return old;
}

win::COLORREF SimMachine::SetBkColor(win::HDC dc, win::COLORREF color) {
    Dc* d = FindDc(dc);
    if (d == nullptr) return 0xFFFFFFFFu;
    win::COLORREF old = d->bg;
    d->bg = color;
    return old;
}

int SimMachine::SetBkMode(win::HDC dc, int mode) {
    Dc* d = FindDc(dc);
    if (d == nullptr || (mode != win::TRANSPARENT && mode != win::OPAQUE)) return 0;
    int old = d->bkMode;
    d->bkMode = mode;
    return old;
}

win::BOOL SimMachine::TextOutA(win::HDC dc, int x, int y, const char* text, int count) {
    Dc* d = FindDc(dc);
    if (d == nullptr || count < 0 || (text == nullptr && count > 0)) return win::FALSE;
    if (!d->paint && d->hwnd != nullptr) ProgramDrew(d->hwnd);
    std::string run(text != nullptr ? text : "", static_cast<std::size_t>(count));
    textRuns_.push_back(TextRun{now_, x, y, run, d->fg, d->bg});
    Record("text", std::to_string(x) + "," + std::to_string(y) + " " + run);
    return win::TRUE;
}

win::BOOL SimMachine::BitBlt(win::HDC dst, int x, int y, int w, int h, win::HDC src, int sx, int sy,
                             win::DWORD rop) {
    Dc* d = FindDc(dst);
    if (d == nullptr || FindDc(src) == nullptr) return win::FALSE;
    if (!d->paint && d->hwnd != nullptr) ProgramDrew(d->hwnd);
    blits_.push_back(Blit{now_, x, y, w, h, sx, sy, rop});
    return win::TRUE;
}

win::BOOL SimMachine::PatBlt(win::HDC dc, int x, int y, int w, int h, win::DWORD rop) {
    Dc* d = FindDc(dc);
    if (d == nullptr) return win::FALSE;
    const GdiObject* b = FindObject(d->brush);
    win::COLORREF colour = b != nullptr ? b->colour : 0;
    if (rop != win::PATCOPY) colour = 0;  // only PATCOPY paints with the brush
    if (!d->paint && d->hwnd != nullptr) ProgramDrew(d->hwnd);
    patBlts_.push_back(sim::PatBlt{now_, x, y, w, h, colour});
    return win::TRUE;
}

win::HBRUSH SimMachine::CreateSolidBrush(win::COLORREF color) {
    GdiObject b;
    b.colour = color;
    nextHandle_ += 4;
    objects_[nextHandle_] = b;
    return reinterpret_cast<win::HBRUSH>(nextHandle_);
}

// The caret, as on Windows: created hidden (hide count 1); ShowCaret and HideCaret count.
win::BOOL SimMachine::CreateCaret(win::HWND hwnd, win::HGDIOBJ, int width, int height) {
    if (Find(hwnd) == nullptr) return win::FALSE;
    caret_ = CaretData{true, hwnd, 1, 0, 0, width, height};
    Record("caret", "create " + std::to_string(width) + "x" + std::to_string(height));
    return win::TRUE;
}

win::BOOL SimMachine::SetCaretPos(int x, int y) {
    if (!caret_.exists) return win::FALSE;
    caret_.x = x;
    caret_.y = y;
    Record("caret", "at " + std::to_string(x) + "," + std::to_string(y));
    return win::TRUE;
}

win::BOOL SimMachine::ShowCaret(win::HWND hwnd) {
    if (!caret_.exists || (hwnd != nullptr && hwnd != caret_.owner)) return win::FALSE;
    if (caret_.hideCount > 0 && --caret_.hideCount == 0) Record("caret", "show");
    return win::TRUE;
}

win::BOOL SimMachine::HideCaret(win::HWND hwnd) {
    if (!caret_.exists || (hwnd != nullptr && hwnd != caret_.owner)) return win::FALSE;
    if (caret_.hideCount++ == 0) Record("caret", "hide");
    return win::TRUE;
}

win::BOOL SimMachine::DestroyCaret() {
    if (!caret_.exists) return win::FALSE;
    caret_ = CaretData{};
    Record("caret", "destroy");
    return win::TRUE;
}

}  // namespace sim
