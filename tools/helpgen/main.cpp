// helpgen: writes the game's help page.
//
//   helpgen <output file>
//
// The page is plain HTML in UTF-8 with its style inline, so it opens from the disk in
// any browser without other files. The output is the same bytes on every run.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "GameTexts.h"

namespace {

std::string Escape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// "HOW TO PLAY" -> "How to play".
std::string Heading(const std::string& title)
{
    std::string out = title;
    for (size_t i = 1; i < out.size(); ++i)
        if (out[i] >= 'A' && out[i] <= 'Z')
            out[i] = static_cast<char>(out[i] - 'A' + 'a');
    return out;
}

void KeyTable(std::ostream& out, const std::vector<texts::Key>& keys)
{
    out << "<table>\n";
    for (const texts::Key& k : keys)
        out << "<tr><th>" << Escape(k.Keys) << "</th><td>" << Escape(k.Does) << "</td></tr>\n";
    out << "</table>\n";
}

std::string Page()
{
    std::ostringstream out;
    out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<title>Gromble - help</title>\n<style>\n"
           "body { font-family: sans-serif; max-width: 46em; margin: 2em auto; padding: 0 1em;"
           " background: #f7eed8; color: #3a2414; line-height: 1.45; }\n"
           "h1, h2 { color: #823c14; }\n"
           "table { border-collapse: collapse; }\n"
           "th, td { text-align: left; vertical-align: top; padding: 0.25em 1em 0.25em 0; }\n"
           "th { white-space: nowrap; }\n"
           ".credits { text-align: center; }\n"
           "</style>\n</head>\n<body>\n<h1>Gromble</h1>\n"
           "<p>A tile puzzle: steer the adventurer through each level, push boulders, collect the keys "
           "and the jewels, and leave through the exit door.</p>\n";

    const auto& pages = texts::InstructionPages();
    for (size_t i = 0; i < pages.size(); ++i) {
        out << "<h2>" << Escape(Heading(pages[i].Title)) << "</h2>\n<ul>\n";
        for (const texts::Entry& e : pages[i].Entries)
            out << "<li>" << Escape(e.Text) << "</li>\n";
        if (i + 1 == pages.size())
            for (const char* thing : texts::MoreThings())
                out << "<li>" << Escape(thing) << "</li>\n";
        out << "</ul>\n";
    }

    out << "<h2>Keys</h2>\n";
    KeyTable(out, texts::PlayKeys());
    out << "<h2>Picking a level</h2>\n<p>The level-pick screen shows the levels of the set; a solved "
           "level's number is marked, and resting the pointer on a button shows the level's title. "
           "The bottom row holds the bonus levels.</p>\n";
    KeyTable(out, texts::LevelPickKeys());
    out << "<h2>The level editor</h2>\n<p>F12 in the game window opens the editor beside it, and F12 "
           "again (in either window) closes it. Tick <em>Editing</em> to stop the game and change the "
           "level it runs:</p>\n<ul>\n"
           "<li><em>Tiles</em>: click a tile in the palette, then click cells of the playfield to paint "
           "it with the <em>Solid</em> flag (walls are solid); the right button clears a cell. The "
           "buttons -1, 0 and 1 choose the layer painted, <em>None</em> paints the flag only.</li>\n"
           "<li><em>Overlay</em>: tiles drawn over everything else, painted the same way.</li>\n"
           "<li><em>Objects</em>: choose a kind in the strip at the bottom, then click the playfield "
           "to place it (A chooses the last kind again). Click a unit to see its properties and change "
           "them (Enter takes a value), drag it to move it, press Delete to remove it.</li>\n"
           "<li><em>File</em>: New, Open, Save and Save As of level files (\".map\").</li>\n"
           "</ul>\n<p>Untick <em>Editing</em> to play the level as it stands.</p>\n";

    out << "<h2>Credits</h2>\n<div class=\"credits\">\n";
    // The scroll's short lines run on into one paragraph up to the next gap or heading.
    std::string paragraph;
    auto flush = [&] {
        if (!paragraph.empty())
            out << "<p>" << Escape(paragraph) << "</p>\n";
        paragraph.clear();
    };
    for (const std::string line : texts::CreditLines()) {
        if (line.empty() || line[0] == '#' || line[0] == '*')
            flush();
        if (line.empty() || line[0] == '#')
            continue; // the page's own title names the game
        if (line[0] == '*')
            out << "<h3>" << Escape(line.substr(1)) << "</h3>\n";
        else
            paragraph += (paragraph.empty() ? "" : " ") + line;
    }
    flush();
    out << "</div>\n</body>\n</html>\n";
    return out.str();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: helpgen <output file>\n";
        return 2;
    }
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file << Page();
    file.close();
    if (!file) {
        std::cerr << "helpgen: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
