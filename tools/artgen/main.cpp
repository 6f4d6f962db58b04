// artgen: paints every picture Tesk reads from its data package and writes the table of
// pictures and shapes the program embeds.
//
//   artgen <data folder> <resource source file>
//
// The output is the same bytes on every run. The program fails (non-zero exit) when a
// picture cannot be written or would not read back as intended.
#include "Sheets.h"

#include <QGuiApplication>

#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>

namespace {

// Every file the game expects from this generator.
std::vector<std::string> Expected()
{
    std::vector<std::string> names = {
        "BaseGfx.jpg", "ZoraWalking.jpg", "ZoraStanding.jpg", "ZoraDying.jpg", "Warp.jpg", "Snake1.jpg", "Spider.jpg",
        "SpinningThings.jpg", "Exits.Jpg", "FireBall.jpg", "Explosion1.jpg", "WaterTemplates.jpg", "WaterBW.jpg",
        "BasicTiles.jpg", "BasicOverlay.jpg", "Morrowfinch.jpg", "SidePanel.jpg", "LevelDigits.jpg", "MenuFontBase.Jpg",
        "MenuFontGlow.Jpg", "Menu_Main.Jpg", "Menu_Options.jpg", "Menu_Sound.jpg", "Menu_AdvSound.jpg", "Menu_Video.jpg",
        "Menu_AdvVideo.jpg", "CreditsSlab.jpg", "Credits.jpg", "Instructions(Page1).jpg", "Instructions(Page2).jpg",
        "InstructionButtons.jpg", "PopupBase_Small.jpg", "PopupBase_Large.jpg", "Popup_Solved.jpg",
        "Popup_PartiallySolved.jpg", "PopUpTop_Death.bmp", "PopupTop_LevelCompleted.bmp", "LevelPickButton.jpg",
        "PickALevelCaption.jpg", "Popup_ConfirmCP.jpg"};
    for (int i = 1; i <= 6; ++i)
        names.push_back("Popup_GeneralDeath" + std::to_string(i) + ".Jpg");
    for (const char* who : {"Snake", "Spider", "Bomb"})
        for (int i = 1; i <= 3; ++i)
            names.push_back(std::string("Popup_") + who + "Death" + std::to_string(i) + ".Jpg");
    for (int i = 1; i <= 9; ++i)
        names.push_back("Bonus" + std::to_string(i) + "Button.jpg");
    // The chapters' looks and the teaching signs (level files name them).
    for (const char* look : {"Desert", "Forest", "Mine", "Castle", "Ice", "Star"}) {
        names.push_back(std::string(look) + "Tiles.jpg");
        names.push_back(std::string(look) + "Overlay.jpg");
    }
    for (const char* backdrop : {"Saffrondune", "Gloomwood", "Emberdeep", "Highkeep", "Frostmere", "Starfall"})
        names.push_back(std::string(backdrop) + ".jpg");
    for (const char* idea : {"Walking", "KeyAndExit", "Jewels", "Dirt", "Boulders", "Water", "PushOrder", "Keys", "Snakes",
                             "Spiders", "CherryBombs", "Triggers", "FakeHero"})
        names.push_back(std::string("Sign_") + idea + ".jpg");
    return names;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: artgen <data folder> <resource source file>\n";
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Drawn off screen: no display is needed unless a platform is chosen.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    const std::string dir = argv[1];
    std::filesystem::create_directories(dir);
    art::Output out(dir);

    art::WriteBaseGfx(out);
    art::WriteHeroSheets(out);
    art::WriteCreatureSheets(out);
    art::WriteEffectSheets(out);
    art::WriteWorldSheets(out);
    art::WriteChapterTileSets(out);
    art::WriteChapterBackdrops(out);
    art::WriteMenuFont(out);
    art::WriteScreens(out);
    art::WritePopups(out);
    art::WriteSignPictures(out);

    const std::set<std::string> written(out.Written().begin(), out.Written().end());
    for (const std::string& name : Expected())
        if (!written.count(name) || !std::filesystem::exists(dir + "/" + name))
            out.Fail("missing picture " + name);

    const std::string source = art::EmbeddedResourceSource();
    {
        // Rewrite the source only when it changed, so the program is not rebuilt for nothing.
        std::ifstream in(argv[2], std::ios::binary);
        std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (old != source) {
            std::ofstream f(argv[2], std::ios::binary | std::ios::trunc);
            f << source;
            if (!f)
                out.Fail(std::string("cannot write ") + argv[2]);
        }
    }
    return out.Failed() ? 1 : 0;
}
