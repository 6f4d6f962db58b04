#pragma once
// The clipboard: text only, over the window system's clipboard (headless, Qt keeps it
// inside the process).
#include <string>

#include "platform/Types.h"

constexpr UINT CF_TEXT = 1;

class TClipboard {
public:
    // The text on the clipboard in UTF-8; "" when there is none.
    std::string AsText() const;
    // Bytes that are not valid UTF-8 are read as Windows-1252.
    void SetAsText(const std::string& text);
    // CF_TEXT: there is text (an empty text counts as none).
    bool HasFormat(UINT format) const;
    void Clear();
};

// The one clipboard.
TClipboard* Clipboard();
