// Video entries of the level set and the web link of the main menu. For now a video
// entry moves on at once (as with "NoVideo") and the web link only clears its request.
#include "tesk/game/GameEngine.h"
#include "tesk/shell/Unit1.h"

void TForm1::StartVideoEntry()
{
    if (Engine)
        Engine->NextSetEntry();
}

void TForm1::OpenWebLink()
{
    if (Engine)
        Engine->WebLinkRequested = false;
}
