// Episode 1, "The Sleepy Meadow": the gentlest start, two lazy bees over a flowery meadow.
#include "bolvo_episode.h"
#include "engine/engine.h"

static const EpisodeContent EPISODE = {
    1, "The Sleepy Meadow", "Bolvo wakes up among the daisies. Someone scattered stars all over the grass!",
    SCENERY_MEADOW,
    RGB(120, 190, 250), RGB(210, 240, 255),  // sky, top to bottom
    RGB(110, 190, 80),                        // hills
    RGB(240, 120, 170),                       // flowers
    RGB(255, 255, 255),
    RGB(255, 230, 60),                        // stars
    RGB(250, 200, 30),                        // bees
    0,
    {80, 420},
    6, {{180, 380}, {320, 300}, {470, 400}, {560, 220}, {260, 140}, {90, 200}},
    2, {{200, 250, 1, 0, 240, 2}, {420, 130, 0, 1, 200, 2}},
};

BOLVO_EPISODE_EXPORT int MAIN(void)
{
    return play_episode(&EPISODE);
}
