#pragma once

class QFont;

namespace orvex {

// Glyphs 0..254 of a font as GL bitmap display lists base + code, so that
// text can be drawn with glListBase(base) and glCallLists. Each list draws
// the glyph with the raster position on its baseline and moves it by the
// glyph's advance. The current context must be valid; lists already present
// at base (made by a context of the same share group) are kept as they are.
// Returns the number of lists built.
int glBuildGlyphLists(const QFont& font, unsigned base);

} // namespace orvex
