#include "tesk/toolkit/PictureFormats.h"

#include "tesk/toolkit/Misc.h"

namespace {

std::unique_ptr<tRegisteredPicture> MakeEntry(TGraphicClass pictureClass, const std::string& description,
                                              const std::string& extensions)
{
    auto entry = std::make_unique<tRegisteredPicture>();
    entry->PictureClass = pictureClass;
    entry->Description = description;
    const TCharSet bar = CharSet("|");
    std::string rest = extensions;
    for (;;) {
        const std::string piece = TextBeforeFirst(rest, bar);
        if (!piece.empty())
            entry->Extensions.Add(piece);
        if (rest.find('|') == std::string::npos)
            break;
        rest = TextAfterFirst(rest, bar);
    }
    return entry;
}

// Made on first use, so the two built-in formats always come first.
std::vector<std::unique_ptr<tRegisteredPicture>>& Table()
{
    static std::vector<std::unique_ptr<tRegisteredPicture>> table = [] {
        std::vector<std::unique_ptr<tRegisteredPicture>> t;
        t.push_back(MakeEntry(&TBitmap::ClassInfo, "Windows Bitmap", "bmp"));
        t.push_back(MakeEntry(&TJPEGImage::ClassInfo, "JPEG", "jpg|jpeg"));
        return t;
    }();
    return table;
}

} // namespace

void RegisterPictureClass(TGraphicClass pictureClass, const std::string& description,
                          const std::string& extensions)
{
    Table().push_back(MakeEntry(pictureClass, description, extensions));
}

const std::vector<std::unique_ptr<tRegisteredPicture>>& RegisteredPictures() { return Table(); }
