#pragma once
// The table of picture formats the program reads: each entry names a picture class, its
// description and its file extensions. Filled at start-up with the bitmap ("Windows
// Bitmap", "bmp") and the JPEG picture ("JPEG", "jpg" and "jpeg").
#include <memory>
#include <string>
#include <vector>

#include "platform/Graphics.h"
#include "platform/StringList.h"

class tRegisteredPicture {
public:
    TStringList Extensions;
    TGraphicClass PictureClass = nullptr;
    std::string Description;
};

// Appends an entry; the extensions text is split at every "|" (empty pieces are skipped).
void RegisterPictureClass(TGraphicClass pictureClass, const std::string& description,
                          const std::string& extensions);
// The table, in registration order.
const std::vector<std::unique_ptr<tRegisteredPicture>>& RegisteredPictures();
