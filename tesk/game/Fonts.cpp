#include "tesk/game/Fonts.h"

int32_t MenuFontKerning(uint8_t, uint8_t)
{
    return 0;
}

int32_t MenuFontTextWidth(const std::string&)
{
    return 0;
}

void DrawMenuText(int32_t, int32_t, const std::string&, int32_t) {}
void DrawMenuTextCentred(int32_t, int32_t, const std::string&, int32_t) {}
void DrawMenuTextMarked(int32_t, int32_t, const std::string&, int32_t) {}
void DrawMenuTextMarkedCentred(int32_t, int32_t, const std::string&, int32_t) {}

void LoadFontGraphicsData() {}
void FreeFontGraphicsData() {}
