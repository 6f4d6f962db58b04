// The card game's embedded pictures and texts: the 36 card faces as picture channels,
// the four trump icons, the three layer textures and the five Russian texts (UTF-8,
// CR LF line ends).
#pragma once

#include <array>
#include <memory>
#include <string>

#include "pelvo/Cards.h"
#include "pelvo/Channels.h"
#include "platform/Exceptions.h"
#include "platform/Graphics.h"

namespace pelvo {

// The bytes of the "TEXT" resource of that name, exactly as stored.
std::string LoadTextResource(const std::string& name);

// Reads a bitmap resource into a channel (the BMP file header in front is skipped).
void LoadChannelFromResource(TChannel& channel, const std::string& name);

// The texture of one of the form's layers ("Layer1".."Layer3") as a mask channel.
void LoadLayerMask(TChannel& mask, const std::string& layerName);

struct TCardImages {
    // Index = face picture number 1..36 (0 unused).
    std::array<TChannel, DeckSize + 1> CardGlyphs;
    // Index = suit 1..4 (0 unused).
    std::array<std::unique_ptr<TBitmap>, SuitCount + 1> TrumpPictures;
    std::string Chaynik, Help, Prodvin, Professional, Student;

    // Loads every picture and text; a missing or unreadable one raises.
    void Load();
    // The dossier of skill level 1..4.
    const std::string& Dossier(int level) const;
};

}  // namespace pelvo
