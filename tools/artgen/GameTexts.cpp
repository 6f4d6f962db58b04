#include "GameTexts.h"

namespace texts {

const std::vector<Page>& InstructionPages()
{
    static const std::vector<Page> pages = {
        {"HOW TO PLAY",
         {
             {0, "You are the adventurer. Walk with the arrow keys; Esc opens the menu."},
             {1, "Boulders can be pushed one at a time. Push one into water to fill it."},
             {2, "Water cannot be crossed until a boulder fills it."},
             {3, "Collect every key: then the exit door opens."},
             {4, "Jewels are a bonus. Take them all to solve a level fully."},
             {5, "Walk through the open exit to finish the level."},
         }},
        {"FRIENDS AND FOES",
         {
             {6, "Snakes guard their row: stand in line with one and it spits fire. Put a boulder in the way."},
             {7, "Spiders follow the walls and bite anyone beside them. Box one in and it bursts."},
             {8, "Pick up cherry bombs (up to three) and drop one with Space. The blast clears what is next to "
                 "it: stand clear!"},
             {9, "Signs hold hints: step on one to read it."},
             {10, "Stuck? Try the level again from the menu, or pick another level."},
         }},
    };
    return pages;
}

const std::vector<const char*>& MoreThings()
{
    static const std::vector<const char*> things = {
        "Dirt is rubble: step on it and it is cleared away.",
        "You arrive through a shimmering warp, and leave through one when you restart a level or lose a life.",
    };
    return things;
}

const std::vector<const char*>& CreditLines()
{
    static const std::vector<const char*> lines = {
        "#GROMBLE", "", "A puzzle of boulders,", "keys and jewels", "", "", "*Game design & code", "The Tesk team", "",
        "*Pictures", "Painted by our own", "picture generator", "", "*Sounds & music", "Synthesised by our own",
        "sound generator", "", "*Levels", "The Tesk level makers", "", "*Testing", "Everyone who got",
        "bitten by a snake", "", "", "Thank you", "for playing!", ""};
    return lines;
}

const std::vector<Key>& PlayKeys()
{
    static const std::vector<Key> keys = {
        {"Arrow keys", "Walk up, down, left and right; in the menus, move between the items."},
        {"Space", "Drop a cherry bomb you carry; after a death, start again."},
        {"Enter", "Choose the highlighted menu item."},
        {"Esc or the right mouse button", "Open the menu; in a menu, go back."},
        {"Left mouse button", "Choose a menu item or a button."},
        {"F6 or R", "Restart the level."},
        {"Keypad + and keypad -", "Make the game faster or slower."},
        {"Alt+Enter", "During play, switch between full screen and a window."},
        {"F12", "Open or close the level editor beside the game window."},
    };
    return keys;
}

const std::vector<Key>& LevelPickKeys()
{
    static const std::vector<Key> keys = {
        {"Arrow keys", "Move between the levels (Down from the last row reaches the bonus levels)."},
        {"Enter or a click", "Play the level."},
        {"Esc", "Back to the main menu."},
    };
    return keys;
}

} // namespace texts
