// Episode 4, "Swamp of Bubbles": a murky swamp where big bubbles rise and sink among the reeds.
#include "bolvo_episode.h"
#include "engine/engine.h"

static const EpisodeContent EPISODE = {
    4, "Swamp of Bubbles", "Blub, blub. The swamp is full of bubbles, and every one of them wants to bounce Bolvo home.",
    SCENERY_SWAMP,
    RGB(70, 100, 80), RGB(150, 170, 110),  // misty air, top to bottom
    RGB(50, 90, 70),                        // water
    RGB(90, 170, 80),                       // lily pads
    RGB(255, 255, 255),
    RGB(255, 230, 90),                      // stars
    RGB(140, 210, 200),                     // bubbles
    0,
    {320, 440},
    9, {{80, 100}, {200, 200}, {330, 120}, {450, 230}, {570, 100}, {90, 330}, {560, 340},
        {330, 300}, {240, 420}},
    5, {{140, 420, 0, -1, 330, 3}, {270, 90, 0, 1, 330, 2}, {400, 420, 0, -1, 330, 4},
        {520, 90, 0, 1, 330, 3}, {60, 260, 1, 0, 520, 3}},
};

BOLVO_EPISODE_EXPORT int MAIN(void)
{
    return play_episode(&EPISODE);
}
