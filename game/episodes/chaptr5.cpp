// Episode 5, "Castle in the Clouds": the finale high above the world, among grumbling storm clouds.
#include "bolvo_episode.h"
#include "engine/engine.h"

static const EpisodeContent EPISODE = {
    5, "Castle in the Clouds", "The castle floats just ahead. Gather the last stars before the storm clouds catch you!",
    SCENERY_CLOUDS,
    RGB(60, 120, 230), RGB(170, 210, 255),  // high sky, top to bottom
    RGB(255, 255, 255),
    RGB(245, 248, 255),                      // clouds
    RGB(255, 255, 255),
    RGB(255, 215, 0),                        // stars
    RGB(90, 90, 110),                        // storm clouds
    0,
    {60, 440},
    10, {{60, 90}, {170, 180}, {280, 90}, {390, 170}, {160, 330}, {300, 260}, {420, 300},
         {560, 260}, {590, 420}, {300, 420}},
    6, {{100, 140, 1, 0, 340, 4}, {230, 220, 1, 0, 300, 3}, {350, 380, 1, 0, 240, 5},
        {480, 110, 0, 1, 300, 3}, {220, 60, 0, 1, 360, 2}, {600, 320, -1, 0, 220, 4}},
};

BOLVO_EPISODE_EXPORT int MAIN(void)
{
    return play_episode(&EPISODE);
}
