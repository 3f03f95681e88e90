#include "platform/linux/LinuxFonts.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>

#include "platform/cp1252.h"

namespace win {

namespace {

constexpr int kMaxPixels = 512;  // larger requests are clamped: a cell is never bigger
constexpr int kDefaultEm = 16;

std::string MatchFile(const std::string& family, bool bold, bool italic, bool requireMono) {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return {};
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return {};
    std::string file;
    int spacing = -1;
    FcPatternGetInteger(match, FC_SPACING, 0, &spacing);
    FcChar8* path = nullptr;
    const bool mono = spacing == FC_MONO || spacing == FC_CHARCELL;
    if ((mono || !requireMono) && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch &&
        path) {
        file = reinterpret_cast<const char*>(path);
    }
    FcPatternDestroy(match);
    return file;
}

}  // namespace

std::string FindMonospaceFontFile(const std::string& family, bool bold, bool italic) {
    if (!family.empty()) {
        std::string file = MatchFile(family, bold, italic, true);
        if (!file.empty()) return file;
    }
    std::string file = MatchFile("monospace", bold, italic, true);
    if (file.empty()) file = MatchFile("monospace", bold, italic, false);
    return file;
}

FontSystem::FontSystem() {
    ready_ = TTF_Init() == 0;  // counted: each back end holds one reference
    if (ready_) FcInit();
}

FontSystem::~FontSystem() {
    if (ready_) TTF_Quit();
}

LinuxFont::~LinuxFont() {
    for (SDL_Surface* g : glyphs_) SDL_FreeSurface(g);
    if (font_) TTF_CloseFont(font_);
}

std::unique_ptr<LinuxFont> LinuxFont::Open(const FontSpec& spec) {
    std::unique_ptr<LinuxFont> font(new LinuxFont());
    if (!font->Load(spec)) return nullptr;
    return font;
}

bool LinuxFont::Load(const FontSpec& spec) {
    const bool bold = spec.weight >= FW_BOLD;
    std::string family = Cp1252ToUtf8(spec.face);
    file_ = FindMonospaceFontFile(family, bold, spec.italic);
    if (file_.empty()) return false;
    font_ = TTF_OpenFont(file_.c_str(), kDefaultEm);
    if (!font_) return false;
    FitSize(spec);
    return true;
}

// Windows maps a request to a font whose cell is the requested height (and width); here
// the largest size whose glyphs fit that cell is taken and centred in it.
void LinuxFont::FitSize(const FontSpec& spec) {
    const int height = std::clamp(spec.height, -kMaxPixels, kMaxPixels);
    const int width = std::clamp(spec.width, 0, kMaxPixels);
    int size = kDefaultEm;
    if (height < 0) size = -height;
    if (height > 0) size = height;
    if (height == 0 && width > 0) size = width * 2;
    auto advance = [this] {
        int minx = 0, maxx = 0, miny = 0, maxy = 0, adv = 0;
        if (TTF_GlyphMetrics32(font_, '0', &minx, &maxx, &miny, &maxy, &adv) != 0) return 0;
        return adv;
    };
    TTF_SetFontSize(font_, size);
    while (size > 1 && height > 0 && TTF_FontHeight(font_) > height) TTF_SetFontSize(font_, --size);
    while (size > 1 && width > 0 && advance() > width) TTF_SetFontSize(font_, --size);
    const int adv = std::max(1, advance());
    const int fontHeight = std::max(1, TTF_FontHeight(font_));
    cellWidth_ = width > 0 ? width : adv;
    cellHeight_ = height > 0 ? height : std::max(fontHeight, TTF_FontLineSkip(font_));
    glyphOffsetX_ = (cellWidth_ - adv) / 2;
    glyphOffsetY_ = (cellHeight_ - fontHeight) / 2;
    if (spec.weight >= FW_BOLD && !(TTF_GetFontStyle(font_) & TTF_STYLE_BOLD) &&
        file_.find("Bold") == std::string::npos) {
        TTF_SetFontStyle(font_, TTF_STYLE_BOLD);
    }
    metrics_ = TEXTMETRICA{};
    metrics_.tmHeight = cellHeight_;
    metrics_.tmAscent = glyphOffsetY_ + TTF_FontAscent(font_);
    metrics_.tmDescent = cellHeight_ - metrics_.tmAscent;
    metrics_.tmInternalLeading = 0;
    metrics_.tmExternalLeading = 0;
    metrics_.tmAveCharWidth = cellWidth_;
    metrics_.tmMaxCharWidth = cellWidth_;
    metrics_.tmWeight = spec.weight == 0 ? 400 : spec.weight;
    metrics_.tmOverhang = 0;
    metrics_.tmCharSet = static_cast<BYTE>(spec.charSet);
}

SDL_Surface* LinuxFont::Glyph(unsigned char byte) {
    if (rendered_[byte]) return glyphs_[byte];
    rendered_[byte] = true;
    char32_t cp = Cp1252ToCodePoint(byte);
    if (byte == 0xAD) cp = U'-';  // the soft hyphen has no width in the font
    if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) return nullptr;
    const SDL_Color white{255, 255, 255, 255};
    SDL_Surface* g = TTF_RenderGlyph32_Blended(font_, static_cast<Uint32>(cp), white);
    if (g) SDL_SetSurfaceBlendMode(g, SDL_BLENDMODE_BLEND);
    glyphs_[byte] = g;
    return g;
}

void LinuxFont::Draw(SDL_Surface* target, int x, int y, std::string_view text, COLORREF fg,
                     COLORREF bg, bool opaque, const SDL_Rect& clip) {
    if (!target || text.empty()) return;
    SDL_Rect old;
    SDL_GetClipRect(target, &old);
    SDL_Rect cell{x, y, cellWidth_, cellHeight_};
    SDL_Rect run{x, y, static_cast<int>(std::min<std::size_t>(text.size(), 4096)) * cellWidth_,
                 cellHeight_};
    SDL_Rect visible;
    if (!SDL_IntersectRect(&run, &clip, &visible)) return;
    SDL_SetClipRect(target, &visible);
    if (opaque) {
        SDL_FillRect(target, &visible,
                     SDL_MapRGB(target->format, GetRValue(bg), GetGValue(bg), GetBValue(bg)));
    }
    for (char c : text) {
        if (cell.x >= visible.x + visible.w) break;
        if (cell.x + cell.w > visible.x) {
            if (SDL_Surface* g = Glyph(static_cast<unsigned char>(c))) {
                SDL_SetSurfaceColorMod(g, GetRValue(fg), GetGValue(fg), GetBValue(fg));
                SDL_Rect dst{cell.x + glyphOffsetX_, cell.y + glyphOffsetY_, g->w, g->h};
                SDL_BlitSurface(g, nullptr, target, &dst);
            }
        }
        cell.x += cellWidth_;
    }
    SDL_SetClipRect(target, &old);
}

}  // namespace win
