#pragma once
// Builds the menu the way the World's set-up does: the main page, "About" under it, "About the
// Creator" under that, a text field on each, and the three music buttons in the top row.
// Shared by the interface unit and display tests.
#include <memory>
#include <string>

#include "interface/Button.hpp"
#include "interface/Interface.hpp"
#include "interface/TextField.hpp"

struct WorldMenu {
    Interface menu;
    std::unique_ptr<TextField> author;
    std::unique_ptr<TextField> about;
    std::unique_ptr<Button> volumeDown;
    std::unique_ptr<Button> playPause;
    std::unique_ptr<Button> volumeUp;
    int aboutPage = -1;
    int creatorPage = -1;

    void build() {
        menu.buildMainMenu();
        aboutPage = menu.addPage(0, "About");
        creatorPage = menu.addPage(aboutPage, "About the Creator");
        author = std::make_unique<TextField>("TXT_AUTHOR", "A few words about the author of this program.", false);
        menu.addToPage(creatorPage, author.get());
        std::string credits;
        for (int line = 0; line < 30; ++line) credits += "Credits line number " + std::to_string(line) + ".\n";
        about = std::make_unique<TextField>("TXT_ABOUT", credits, false);
        about->editable = true;
        menu.addToPage(aboutPage, about.get());
        volumeDown = std::make_unique<Button>("MUSIC_VOLUME_DN", "  Vol -  ");
        playPause = std::make_unique<Button>("MUSIC_PLAY_PAUSE", "Play/Pause");
        volumeUp = std::make_unique<Button>("MUSIC_VOLUME_UP", "  Vol +  ");
        menu.addToTopRow(volumeDown.get());
        menu.addToTopRow(playPause.get());
        menu.addToTopRow(volumeUp.get());
    }
};
