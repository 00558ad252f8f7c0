// Episode 2, "Mushroom Caves": a dark cave lit by glowing mushrooms, with drifting spore puffs.
#include "bolvo_episode.h"
#include "engine/engine.h"

static const EpisodeContent EPISODE = {
    2, "Mushroom Caves", "Deep under the meadow the mushrooms glow. Mind the spore puffs, they make Bolvo sneeze!",
    SCENERY_CAVES,
    RGB(40, 24, 70), RGB(80, 50, 100),  // cave gloom, top to bottom
    RGB(60, 40, 50),                     // rock
    RGB(90, 230, 210),                   // mushroom caps
    RGB(255, 255, 255),
    RGB(255, 240, 120),                  // stars
    RGB(200, 120, 230),                  // spore puffs
    0,
    {60, 400},
    7, {{150, 200}, {300, 380}, {330, 170}, {480, 260}, {580, 380}, {580, 150}, {200, 320}},
    3, {{240, 260, 1, 0, 200, 3}, {400, 100, 0, 1, 260, 2}, {520, 330, -1, 0, 160, 3}},
};

BOLVO_EPISODE_EXPORT int MAIN(void)
{
    return play_episode(&EPISODE);
}
