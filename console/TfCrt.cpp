// TfCrt: the console window, its cell buffers, writing, scrolling and painting.
#include "console/TfCrt.h"

#include <algorithm>

#include "platform/api.h"

namespace sonara {

namespace {

TfCrt* current_console = nullptr;

constexpr win::COLORREF kColourTable[16] = {
    win::RGB(0, 0, 0),       win::RGB(0, 0, 255),     win::RGB(0, 255, 0),
    win::RGB(0, 255, 255),   win::RGB(255, 0, 0),     win::RGB(142, 0, 142),
    win::RGB(68, 34, 34),    win::RGB(192, 192, 192), win::RGB(40, 40, 40),
    win::RGB(128, 128, 255), win::RGB(128, 255, 128), win::RGB(128, 255, 255),
    win::RGB(255, 128, 128), win::RGB(255, 128, 255), win::RGB(255, 255, 0),
    win::RGB(255, 255, 255)};

win::LRESULT ConsoleWindowProc(win::HWND hwnd, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    if (current_console == nullptr) return win::DefWindowProcA(hwnd, msg, wp, lp);
    return current_console->WindowProc(hwnd, msg, wp, lp);
}

}  // namespace

win::COLORREF ColourOfSlot(int slot) {
    return slot >= 0 && slot <= 15 ? kColourTable[slot] : win::RGB(0, 0, 0);
}

TfCrt::TfCrt() {
    current_console = this;
    win::WNDCLASSA wc;
    wc.style = win::CS_HREDRAW | win::CS_VREDRAW;
    wc.lpfnWndProc = &ConsoleWindowProc;
    wc.hIcon = win::IDI_APPLICATION;
    wc.hCursor = win::IDC_ARROW;
    wc.hbrBackground = static_cast<win::HBRUSH>(win::GetStockObject(win::BLACK_BRUSH));
    wc.lpszClassName = "TfWinCrt";
    win::RegisterClassA(wc);
    braille_message_ = win::RegisterWindowMessageA("tfLinBrl");
    // The standard streams are ConsoleWrite / ConsoleReadLine; files are always opened
    // read-only by the platform, so there is no open mode to set.
    char name[81] = {};
    win::DWORD n = win::GetModuleFileNameA(nullptr, name, sizeof name);
    name[std::min<win::DWORD>(n, 80)] = '\0';
    win::OemToCharA(name, name);
    title_ = name;
    chars_.fill(' ');
    attrs_.fill(text_attr_);
}

TfCrt::~TfCrt() {
    StopTone();
    if (current_console == this) current_console = nullptr;
}

TfCrt* TfCrt::Current() {
    return current_console;
}

win::COLORREF TfCrt::ColourOf(int nibble) const {
    return ColourOfSlot(settings_.paletteMap[nibble & 0x0F]);
}

std::vector<std::string> TfCrt::ScreenRows() const {
    std::vector<std::string> rows;
    for (int r = 0; r < kRows; ++r) {
        std::string row(chars_.data() + Index(0, r), kColumns);
        row.erase(row.find_last_not_of(' ') + 1);
        rows.push_back(std::move(row));
    }
    return rows;
}

void TfCrt::InitConsole() {
    if (!created_ && !closed_) CreateConsoleWindow();
}

void TfCrt::CreateConsoleWindow() {
    win::RECT work;
    win::SystemParametersInfoA(win::SPI_GETWORKAREA, 0, &work, 0);
    settings_ =
        ParseDisplaySettings(SonaraIniReader(), work.right - work.left, work.bottom - work.top);
    text_attr_ = settings_.textAttr;
    font_ = win::CreateFontA(settings_.fontHeight, settings_.fontWidth, 0, 0, 0, 0, 0, 0,
                             settings_.oemCharset ? win::OEM_CHARSET : win::ANSI_CHARSET, 0, 0, 0,
                             0, settings_.face.c_str());
    win::HDC screen = win::GetDC(nullptr);
    MeasureFont(screen);
    win::ReleaseDC(nullptr, screen);

    int width = 2 * win::GetSystemMetrics(win::SM_CXFRAME) + kColumns * cell_width_;
    int height = 2 * win::GetSystemMetrics(win::SM_CYFRAME) + kRows * cell_height_ +
                 win::GetSystemMetrics(win::SM_CYCAPTION);
    win::CreateWindowExA(0, "TfWinCrt", title_.c_str(), win::WS_OVERLAPPEDWINDOW,
                         win::CW_USEDEFAULT, win::CW_USEDEFAULT, width, height, nullptr);
    if (!created_) {
        // No window: the console stays uncreated and draws nothing; the next console call
        // tries again, so this font must not outlive the attempt.
        win::DeleteObject(font_);
        font_ = nullptr;
        return;
    }
    win::ShowWindow(window_, settings_.maximised ? win::SW_MAXIMIZE : win::SW_SHOW);
    win::UpdateWindow(window_);
    SetBrailleMode(settings_.brailleMode);
    if (brailleDisplay.open && brailleDisplay.open()) {
        braille_active_ = true;
        if (brailleDisplay.enableKeys) brailleDisplay.enableKeys();
    }
}

// Cell size from the font selected into dc (the console font, or whatever dc had).
void TfCrt::MeasureFont(win::HDC dc) {
    win::HGDIOBJ previous = font_ ? win::SelectObject(dc, font_) : nullptr;
    win::TEXTMETRICA tm;
    if (win::GetTextMetricsA(dc, &tm)) {
        cell_width_ = std::max<int>(1, tm.tmAveCharWidth);
        cell_height_ = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
        text_offset_x_ = tm.tmOverhang;
        caret_offset_y_ = tm.tmAscent;
    }
    if (previous) win::SelectObject(dc, previous);
}

void TfCrt::OnCreate() {
    chars_.fill(' ');
    attrs_.fill(text_attr_);
    created_ = true;
}

win::HDC TfCrt::BeginDraw() {
    return painting_ ? paint_dc_ : win::GetDC(window_);
}

void TfCrt::EndDraw(win::HDC dc, win::HGDIOBJ previousFont) {
    win::SelectObject(dc, previousFont);
    if (!painting_) win::ReleaseDC(window_, dc);
}

void TfCrt::DrawSpan(int first, int end, int row) {
    if (end <= first) return;
    win::HDC dc = BeginDraw();
    if (!painting_ && braille_active_ && brailleDisplay.writeLine)
        brailleDisplay.writeLine(row, std::string_view(chars_.data() + Index(0, row), kColumns));
    win::HGDIOBJ font = font_ ? font_
                              : win::GetStockObject(settings_.oemCharset ? win::OEM_FIXED_FONT
                                                                         : win::SYSTEM_FIXED_FONT);
    win::HGDIOBJ previous = win::SelectObject(dc, font);
    win::SetBkMode(dc, win::OPAQUE);
    for (int c = first; c < end;) {
        std::uint8_t attr = attrs_[Index(c, row)];
        int runEnd = c + 1;
        while (runEnd < end && attrs_[Index(runEnd, row)] == attr) ++runEnd;
        win::SetTextColor(dc, ColourOf(attr & 0x0F));
        win::SetBkColor(dc, ColourOf(attr >> 4));
        win::TextOutA(dc, c * cell_width_ + text_offset_x_, row * cell_height_,
                      chars_.data() + Index(c, row), runEnd - c);
        c = runEnd;
    }
    EndDraw(dc, previous);
}

void TfCrt::WriteText(const char* bytes, std::uint16_t count) {
    InitConsole();
    if (!created_) return;
    span_first_ = span_end_ = cursor_x_;
    for (std::uint16_t i = 0; i < count; ++i) {
        auto b = static_cast<std::uint8_t>(bytes[i]);
        if (b == 7) {
            win::MessageBeep(0);
        } else if (b == 8) {
            if (cursor_x_ > 0) {
                --cursor_x_;
                chars_[Index(cursor_x_, cursor_y_)] = ' ';
                attrs_[Index(cursor_x_, cursor_y_)] = text_attr_;
                span_first_ = std::min(span_first_, cursor_x_);
                span_end_ = std::max(span_end_, cursor_x_ + 1);
            }
        } else if (b == 10) {
            NewLine();
            cursor_x_ = 0;
        } else if (b == 13) {
            cursor_x_ = 0;
        } else if (b >= 32) {
            if (cursor_x_ == kColumns) {
                cursor_x_ = 0;
                NewLine();
            }
            chars_[Index(cursor_x_, cursor_y_)] = static_cast<char>(b);
            attrs_[Index(cursor_x_, cursor_y_)] = text_attr_;
            span_first_ = std::min(span_first_, cursor_x_);
            span_end_ = std::max(span_end_, cursor_x_ + 1);
            ++cursor_x_;
        }
        // Other control bytes are dropped; a tab is not expanded.
    }
    DrawSpan(span_first_, span_end_, cursor_y_);
}

void TfCrt::NewLine() {
    DrawSpan(span_first_, span_end_, cursor_y_);
    span_first_ = span_end_ = 0;
    if (++cursor_y_ < kRows) return;
    cursor_y_ = kRows - 1;
    std::copy(chars_.begin() + kColumns, chars_.end(), chars_.begin());
    std::copy(attrs_.begin() + kColumns, attrs_.end(), attrs_.begin());
    std::fill(chars_.end() - kColumns, chars_.end(), ' ');
    std::fill(attrs_.end() - kColumns, attrs_.end(), text_attr_);
    win::RECT rect;
    win::GetWindowRect(window_, &rect);
    if (settings_.blitScroll && win::GetForegroundWindow() == window_ &&
        rect.bottom < win::GetSystemMetrics(win::SM_CYSCREEN) - 32) {
        ScrollPixels();
    } else {
        win::InvalidateRect(window_, nullptr, win::FALSE);
    }
    win::UpdateWindow(window_);
}

// Rows 1..24 move up one row; row 24 is filled with the background colour.
void TfCrt::ScrollPixels() {
    win::HDC dc = win::GetDC(window_);
    win::BitBlt(dc, 0, 0, kColumns * cell_width_, (kRows - 1) * cell_height_, dc, 0, cell_height_,
                win::SRCCOPY);
    win::HBRUSH brush = win::CreateSolidBrush(ColourOf(text_attr_ >> 4));
    win::HGDIOBJ previous = win::SelectObject(dc, brush);
    win::PatBlt(dc, 0, (kRows - 1) * cell_height_, kColumns * cell_width_, cell_height_,
                win::PATCOPY);
    win::SelectObject(dc, previous);
    win::DeleteObject(brush);
    win::ReleaseDC(window_, dc);
}

void TfCrt::ClearScreen() {
    InitConsole();
    if (!created_) return;
    chars_.fill(' ');
    attrs_.fill(text_attr_);
    cursor_x_ = cursor_y_ = 0;
    win::InvalidateRect(window_, nullptr, win::FALSE);
    win::UpdateWindow(window_);
}

void TfCrt::TextColor(int colour) {
    InitConsole();
    if (settings_.fixedColours) return;
    text_attr_ = static_cast<std::uint8_t>((text_attr_ & 0xF0) | (colour & 0x0F));
}

void TfCrt::Paint(win::HWND hwnd) {
    painting_ = true;
    win::PAINTSTRUCT ps;
    paint_dc_ = win::BeginPaint(hwnd, &ps);
    const win::RECT& r = ps.rcPaint;
    int first = std::max<int>(0, r.left / cell_width_);
    int end = std::min<int>(kColumns, (r.right + cell_width_ - 1) / cell_width_);
    int firstRow = std::max<int>(0, r.top / cell_height_);
    int endRow = std::min<int>(kRows, (r.bottom + cell_height_ - 1) / cell_height_);
    if (paint_dc_ != nullptr)
        for (int row = firstRow; row < endRow; ++row) DrawSpan(first, end, row);
    win::EndPaint(hwnd, &ps);
    paint_dc_ = nullptr;
    painting_ = false;
}

void TfCrt::ShowCaret() {
    win::CreateCaret(window_, nullptr, cell_width_, 2);
    win::SetCaretPos(cursor_x_ * cell_width_, cursor_y_ * cell_height_ + caret_offset_y_);
    win::ShowCaret(window_);
}

void TfCrt::HideCaret() {
    win::DestroyCaret();
}

void TfCrt::SizeLimits(win::MINMAXINFO* info) {
    win::HDC dc = win::GetDC(window_);
    int height = cell_height_;  // only the width and the caret offset are refreshed
    int offset = text_offset_x_;
    MeasureFont(dc);
    cell_height_ = height;
    text_offset_x_ = offset;
    win::ReleaseDC(window_, dc);
    int cx = win::GetSystemMetrics(win::SM_CXFRAME);
    int cy = win::GetSystemMetrics(win::SM_CYFRAME);
    int caption = win::GetSystemMetrics(win::SM_CYCAPTION);
    int maxW = std::min(kColumns * cell_width_, win::GetSystemMetrics(win::SM_CXSCREEN)) + 2 * cx;
    int maxH =
        std::min(caption + kRows * cell_height_, win::GetSystemMetrics(win::SM_CYSCREEN)) + 2 * cy;
    info->ptMaxSize = {maxW, maxH};
    info->ptMaxTrackSize = {maxW, maxH};
    info->ptMinTrackSize = {2 * cx + 16 * cell_width_, 2 * cy + 4 * cell_height_ + caption};
}

}  // namespace sonara
