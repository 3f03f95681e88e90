// Fonts of the Linux back end: a face found through fontconfig (monospaced, falling back
// to "monospace"), sized to the requested cell, with a glyph atlas for the 256
// Windows-1252 bytes, drawn onto a window's backing surface.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "platform/wintypes.h"

struct SDL_Surface;
struct SDL_Rect;
typedef struct _TTF_Font TTF_Font;

namespace win {

struct FontSpec {
    int height = 0;  // > 0: cell height; < 0: character (em) height; 0: default
    int width = 0;   // > 0: cell width; else from the face
    int weight = 0;
    bool italic = false;
    int charSet = ANSI_CHARSET;
    std::string face;  // Windows-1252
};

// The host font file for a face (UTF-8 family name); empty when fontconfig finds none.
std::string FindMonospaceFontFile(const std::string& family, bool bold, bool italic);

class LinuxFont {
  public:
    ~LinuxFont();
    LinuxFont(const LinuxFont&) = delete;
    LinuxFont& operator=(const LinuxFont&) = delete;

    // Null when no font file could be found or opened.
    static std::unique_ptr<LinuxFont> Open(const FontSpec& spec);

    const TEXTMETRICA& Metrics() const { return metrics_; }
    int CellWidth() const { return cellWidth_; }
    int CellHeight() const { return cellHeight_; }
    const std::string& File() const { return file_; }

    // Draws Windows-1252 text with its top-left at (x, y): each byte in its own cell,
    // over a filled background when `opaque`. Drawing stays inside `clip`.
    void Draw(SDL_Surface* target, int x, int y, std::string_view text, COLORREF fg, COLORREF bg,
              bool opaque, const SDL_Rect& clip);

  private:
    LinuxFont() = default;
    bool Load(const FontSpec& spec);
    void FitSize(const FontSpec& spec);
    SDL_Surface* Glyph(unsigned char byte);

    TTF_Font* font_ = nullptr;
    std::string file_;
    std::array<SDL_Surface*, 256> glyphs_{};
    std::array<bool, 256> rendered_{};
    TEXTMETRICA metrics_;
    int cellWidth_ = 0;
    int cellHeight_ = 0;
    int glyphOffsetX_ = 0;
    int glyphOffsetY_ = 0;
};

// SDL_ttf and fontconfig for the back end's lifetime; fonts must go before it.
class FontSystem {
  public:
    FontSystem();
    ~FontSystem();
    FontSystem(const FontSystem&) = delete;
    FontSystem& operator=(const FontSystem&) = delete;
    bool Ready() const { return ready_; }

  private:
    bool ready_ = false;
};

}  // namespace win
