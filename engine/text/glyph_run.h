// Glyph runs turned into what the renderer fills. A TextPicture is a text's drawing in its
// own twips: glyph outlines placed by matrices and tinted with their run's colour, plus
// any shapes drawn in their own colours (an edit text's background and border). The draw
// list keeps one per text instance and draws it under the instance's matrix.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/shape.h"
#include "engine/raster/renderer.h"
#include "engine/text/font.h"

namespace velmora::text {

// One glyph of a run and how far the pen moves after it, in twips.
struct GlyphEntry {
    uint32_t index = 0;
    double advance = 0;
};

struct GlyphRun {
    std::shared_ptr<const Font> font;  // the picture keeps it (and its outlines) alive
    double size = 240;                 // em height, twips
    Rgba color;
    double x = 0, y = 0;  // pen start on the baseline, twips in the text's space
    // The run's space (pen, advances) -> the picture's twips.
    Matrix matrix;
    std::vector<GlyphEntry> glyphs;
};

struct TextPicture {
    struct Piece {
        const Shape* shape = nullptr;
        Matrix matrix;          // piece units -> text twips
        ColorTransform tint;    // glyphs: their run's colour; shapes: identity
    };
    std::vector<Piece> pieces;
    // Twips of the text's space the picture claims for hit tests and bounds; for static
    // text the rectangle the tag gives.
    RectTwips bounds;
    // Extent of what the pieces draw, in text twips (minX > maxX while empty).
    double inkMinX = 1, inkMinY = 1, inkMaxX = 0, inkMaxY = 0;

    std::vector<std::shared_ptr<const Font>> fonts;    // owners of glyph outlines
    std::vector<std::shared_ptr<const Shape>> shapes;  // owners of other shapes
};

// Glyph entries for code points in a font at a size: advances from the font, kerning
// pairs added when `kerning`; code points the font lacks are left out.
std::vector<GlyphEntry> LayoutGlyphs(const Font& font, double size, std::u32string_view text, bool kerning);

// Appends the run's glyphs to the picture (empty outlines, such as spaces, add nothing).
void AppendGlyphRun(const GlyphRun& run, TextPicture& out);
// Appends a shape drawn as it is (its twips mapped by `matrix`).
void AppendShape(std::shared_ptr<const Shape> shape, const Matrix& matrix, TextPicture& out);

// Draws the picture; `toPixels` maps the text's twips to the surface.
void DrawTextPicture(raster::Renderer& renderer, const TextPicture& picture, const Matrix& toPixels,
                     const ColorTransform& cx);
// Device-space bounds of what the picture draws (for dirty regions).
raster::PixelRect TextPixelBounds(const TextPicture& picture, const Matrix& toPixels);
// Hit test by the picture's bounds; the point is in the text's twips.
bool HitTestText(const TextPicture& picture, PointF pointTwips);

// The tint that paints a white glyph in `color`.
ColorTransform TintFor(Rgba color);

}  // namespace velmora::text
