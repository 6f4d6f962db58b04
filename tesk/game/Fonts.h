#pragma once
// The menu font: menu captions drawn with a bitmap font (characters "!" to "Z"; every
// other character is a space), positioned by a width table and the kerning of capital
// pairs. A glow of 0 draws the plain glyph, 1..21 adds a growing glow (higher values
// clamp), a negative glow draws the disabled style.
#include <cstdint>
#include <string>

int32_t MenuFontKerning(uint8_t first, uint8_t second);
int32_t MenuFontTextWidth(const std::string& text);
// Draws on CurrentDib from the left x; y is the line's lower edge.
void DrawMenuText(int32_t x, int32_t y, const std::string& text, int32_t glow);
void DrawMenuTextCentred(int32_t x, int32_t y, const std::string& text, int32_t glow);
// The alternate styles (solved-level numbers of the level pick).
void DrawMenuTextMarked(int32_t x, int32_t y, const std::string& text, int32_t glow);
void DrawMenuTextMarkedCentred(int32_t x, int32_t y, const std::string& text, int32_t glow);

void LoadFontGraphicsData();
void FreeFontGraphicsData();
