#pragma once
// The game's own words about itself: the instruction pages, the credits and the keys.
// artgen paints the instruction pages and the credits from them, and helpgen writes the
// help page "Gromble.html" from the same table, so both always say the same. Plain
// ASCII, no Qt.
#include <string>
#include <vector>

namespace texts {

struct Entry {
    // The picture artgen draws beside the text (see WriteInstructions).
    int Icon;
    const char* Text;
};

struct Page {
    const char* Title;
    std::vector<Entry> Entries;
};

// The instruction pages, in order: how to play, then the creatures and things.
const std::vector<Page>& InstructionPages();
// The other things of the playfield, which the pages have no room for.
const std::vector<const char*>& MoreThings();

// The scrolling credits: "#" starts the title, "*" a heading, "" is a gap.
const std::vector<const char*>& CreditLines();

struct Key {
    const char* Keys;
    const char* Does;
};
// The keys a player uses in play and in the menus.
const std::vector<Key>& PlayKeys();
// The keys of the level-pick screen.
const std::vector<Key>& LevelPickKeys();

} // namespace texts
