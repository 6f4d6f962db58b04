#include "pelvo/CardImages.h"

#include "platform/Resources.h"

namespace pelvo {

std::string LoadTextResource(const std::string& name)
{
    return std::string(ResourceBytes(name, "TEXT"));
}

void LoadChannelFromResource(TChannel& channel, const std::string& name)
{
    std::string_view bytes = ResourceBytes(name, "BITMAP");
    // A BMP file starts with a 14-byte file header ("BM"); the channel reads what follows.
    if (bytes.size() >= 14 && bytes[0] == 'B' && bytes[1] == 'M')
        bytes.remove_prefix(14);
    channel.LoadFromMemory(bytes.data(), bytes.size());
}

void LoadLayerMask(TChannel& mask, const std::string& layerName)
{
    const std::string_view bytes = ResourceBytes("TForm1." + layerName + ".Data", "RCDATA");
    mask.SetChannelKind(ckMask);
    mask.LoadFromMemory(bytes.data(), bytes.size());
}

void TCardImages::Load()
{
    for (int i = 1; i <= DeckSize; ++i) {
        CardGlyphs[size_t(i)].SetChannelKind(ckPicture);
        LoadChannelFromResource(CardGlyphs[size_t(i)], CardResourceName(i));
    }
    for (int s = 1; s <= SuitCount; ++s) {
        auto picture = std::make_unique<TBitmap>();
        picture->LoadFromResourceName(CardResourceName(TrumpIconPicture(s)));
        TrumpPictures[size_t(s)] = std::move(picture);
    }
    Chaynik = LoadTextResource("Chaynik");
    Help = LoadTextResource("Help");
    Prodvin = LoadTextResource("Prodvin");
    Professional = LoadTextResource("Professional");
    Student = LoadTextResource("Student");
}

const std::string& TCardImages::Dossier(int level) const
{
    switch (level) {
    case 2:
        return Prodvin;
    case 3:
        return Professional;
    case 4:
        return Student;
    default:
        return Chaynik;
    }
}

}  // namespace pelvo
