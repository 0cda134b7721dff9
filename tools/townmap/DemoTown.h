#pragma once
// The demo game's town: a 60 x 35 walk map with houses and a river, a mover block with the
// player's steered figure and two walkers on fixed rounds, two event areas, and the pictures the
// map draws from (a 2400 x 1400 map picture and overlay, the figures' and tiles' sheet).

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

struct DemoTownFile
{
    std::string name;
    std::vector<uint8_t> bytes;
};

// "town.map", "town.mvr" and "town.evt".
std::vector<DemoTownFile> DemoTownData();
// "town_bg.akb", "town_ov.akb" and "town_chara.akb".
std::vector<DemoTownFile> DemoTownPictures();

} // namespace tools
