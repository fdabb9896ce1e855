#include "platform/text/GlyphRasterizer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

namespace quorvel::text {

struct GlyphRasterizer::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    bool emboldenGlyphs = false;  // bold asked for, but the font found has no bold style
    bool slantGlyphs = false;     // italic asked for, but the font found has no italic style

    ~Impl() {
        if (face != nullptr) FT_Done_Face(face);
        if (library != nullptr) FT_Done_FreeType(library);
    }

    // Loads c's glyph, hinted, with any synthetic style applied; rendered when asked.
    bool load(unsigned char c, bool render) const {
        if (FT_Load_Char(face, c, FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL) != 0) return false;
        if (emboldenGlyphs) FT_GlyphSlot_Embolden(face->glyph);
        if (slantGlyphs) FT_GlyphSlot_Oblique(face->glyph);
        if (render && FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return false;
        return true;
    }
};

namespace {

struct FontFile {
    std::string path;
    int index = 0;
    std::string family;
    bool bold = false;
    bool italic = false;
};

// The installed font that best matches the face name and style, as fontconfig chooses it.
bool findFontFile(const FontRequest& request, FontFile& found) {
    if (FcInit() == FcFalse) return false;
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.face.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) return false;

    bool ok = false;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
        found.path = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(match, FC_INDEX, 0, &found.index);
        FcChar8* family = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch && family != nullptr)
            found.family = reinterpret_cast<const char*>(family);
        int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(match, FC_SLANT, 0, &slant);
        found.bold = weight >= FC_WEIGHT_DEMIBOLD;
        found.italic = slant != FC_SLANT_ROMAN;
        ok = true;
    }
    FcPatternDestroy(match);
    return ok;
}

int roundedPixels(FT_Long fontUnits, FT_Fixed scale) {
    return static_cast<int>((FT_MulFix(fontUnits, scale) + 32) >> 6);
}

}  // namespace

GlyphRasterizer::GlyphRasterizer(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
GlyphRasterizer::~GlyphRasterizer() = default;

std::unique_ptr<GlyphRasterizer> GlyphRasterizer::create(const FontRequest& request) {
    if (request.height == 0) return nullptr;
    FontFile file;
    if (!findFontFile(request, file)) return nullptr;

    auto impl = std::make_unique<Impl>();
    if (FT_Init_FreeType(&impl->library) != 0) return nullptr;
    if (FT_New_Face(impl->library, file.path.c_str(), file.index, &impl->face) != 0 ||
        !FT_IS_SCALABLE(impl->face))
        return nullptr;
    FT_Face face = impl->face;
    impl->emboldenGlyphs = request.bold && !file.bold;
    impl->slantGlyphs = request.italic && !file.italic;

    // Windows measures a font's cell with the OS/2 table's Windows ascent and descent.
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const FT_Long ascentUnits = os2 != nullptr && os2->usWinAscent > 0 ? os2->usWinAscent : face->ascender;
    const FT_Long descentUnits =
        os2 != nullptr && os2->usWinAscent > 0 ? os2->usWinDescent : -face->descender;

    int emPixels = -request.height;
    if (request.height > 0) {
        const double cellUnits = static_cast<double>(ascentUnits + descentUnits);
        emPixels = static_cast<int>(std::lround(request.height * face->units_per_EM / cellUnits));
    }
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::max(emPixels, 1))) != 0) return nullptr;

    std::unique_ptr<GlyphRasterizer> rasterizer(new GlyphRasterizer(std::move(impl)));
    const FT_Fixed scale = face->size->metrics.y_scale;
    rasterizer->ascent_ = roundedPixels(ascentUnits, scale);
    rasterizer->descent_ = roundedPixels(descentUnits, scale);
    rasterizer->family_ = file.family;
    return rasterizer;
}

TextExtent GlyphRasterizer::measure(unsigned char c) const {
    if (!impl_->load(c, false)) return {0, cellHeight()};
    // Hinted advances are whole pixels already; rounding keeps unhinted ones honest too.
    const int advance = static_cast<int>((impl_->face->glyph->advance.x + 32) >> 6);
    return {advance, cellHeight()};
}

void GlyphRasterizer::drawOpaque(unsigned char c, int x, int y, PixelBuffer& target) const {
    const TextExtent extent = measure(c);
    for (int row = std::max(y, 0); row < std::min(y + extent.height, target.height); ++row)
        for (int col = std::max(x, 0); col < std::min(x + extent.width, target.width); ++col)
            target.pixels[static_cast<size_t>(row) * target.width + col] = 0;

    if (!impl_->load(c, true)) return;
    const FT_GlyphSlot slot = impl_->face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return;
    const int left = x + slot->bitmap_left;
    const int top = y + ascent_ - slot->bitmap_top;
    for (unsigned r = 0; r < bitmap.rows; ++r) {
        const int row = top + static_cast<int>(r);
        if (row < 0 || row >= target.height) continue;
        const unsigned char* source = bitmap.buffer + static_cast<std::ptrdiff_t>(r) * bitmap.pitch;
        for (unsigned k = 0; k < bitmap.width; ++k) {
            const int col = left + static_cast<int>(k);
            if (col < 0 || col >= target.width || source[k] == 0) continue;
            std::uint32_t& pixel = target.pixels[static_cast<size_t>(row) * target.width + col];
            // Ink of a neighbouring glyph that reaches into this one is kept, as GDI keeps it.
            const std::uint32_t grey = source[k] * 0x010101u;
            pixel = std::max(pixel & 0xFFFFFFu, grey);
        }
    }
}

}  // namespace quorvel::text
