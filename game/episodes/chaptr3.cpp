// Episode 3, "The Windy Cliffs": a gusty gorge; the wind keeps pushing Bolvo to the right.
#include "bolvo_episode.h"
#include "engine/engine.h"

static const EpisodeContent EPISODE = {
    3, "The Windy Cliffs", "A steady wind blows through the gorge. Lean into it, and watch for tumbling rocks!",
    SCENERY_CLIFFS,
    RGB(250, 170, 110), RGB(255, 225, 180),  // evening sky, top to bottom
    RGB(150, 105, 75),                        // rock walls
    RGB(255, 255, 255),                       // wind streaks
    RGB(255, 255, 255),
    RGB(255, 250, 120),                       // stars
    RGB(120, 110, 110),                       // rocks
    2,
    {120, 430},
    8, {{130, 120}, {250, 250}, {380, 90}, {500, 200}, {520, 420}, {300, 420}, {180, 330}, {450, 320}},
    4, {{200, 80, 0, 1, 300, 3}, {330, 160, 0, 1, 260, 4}, {460, 100, 0, 1, 320, 3},
        {150, 380, 1, 0, 300, 2}},
};

BOLVO_EPISODE_EXPORT int MAIN(void)
{
    return play_episode(&EPISODE);
}
