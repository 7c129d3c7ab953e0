// The program's own pictures: button glyphs and the logo, drawn in code so
// every pixel is ours and reproducible.
#pragma once
#include "ui/win/graphics.h"

enum class GlyphKind { Settings, Open, Save, Preview, Send, Exit, Link, Query, Power, PowerOff, Brightness,
                       Clock, Picture, Text, Unlink };

// Draws the glyph at size x size on a magenta background that the bottom-left
// pixel makes transparent.
void DrawGlyph(TBitmap& bmp, GlyphKind kind, int size);
// The 86 x 32 logo, transparent the same way.
void DrawLogo(TBitmap& bmp);
