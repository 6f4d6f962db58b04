// The card game's generated resources: card faces, trump icons, layer textures, texts.
#pragma once

#include <QImage>

#include <string>
#include <vector>

constexpr int CardWidth = 71;
constexpr int CardHeight = 96;
constexpr int IconSide = 19;

// Suit 1..4 (spades, clubs, diamonds, hearts), rank 1..9 (6, 7, 8, 9, jack, queen, king,
// 10, ace).
QImage PaintCard(int suit, int rank);
QImage PaintTrumpIcon(int suit);

// An 8-bit bitmap with a palette of at most 256 colours that stays close to the picture.
std::string EightBitBmp(const QImage& image, bool withFileHeader);

// A seamless level texture (127 neutral, within 64..192) stored as a mask channel.
std::string TextureChannel(int width, int height, unsigned seed, int grain, int waves);

struct TextResource {
    const char* Name;
    const char* Utf8;
};
const std::vector<TextResource>& Texts();
