// The small engine shared by the demo episodes: one window, a title card and a playable scene
// in which Bolvo rolls about collecting stars and dodging whatever the episode throws at him.
// An episode is a table (EpisodeContent); play_episode runs it on the calling thread with its
// own message loop and releases everything it made before it returns.
#pragma once

#include <windows.h>
#include <stdint.h>

enum {
    MAX_STARS = 12,
    MAX_HAZARDS = 6,
};

// The scenery an episode is drawn with; it also decides what the hazards look like.
enum {
    SCENERY_MEADOW,  // hills and flowers; bees
    SCENERY_CAVES,   // stalactites and glowing mushrooms; spore puffs
    SCENERY_CLIFFS,  // rock walls and wind; tumbling rocks, and the wind pushes Bolvo
    SCENERY_SWAMP,   // murky water and lily pads; bubbles
    SCENERY_CLOUDS,  // drifting clouds and the castle; storm clouds
};

struct Spot {
    int32_t x;
    int32_t y;
};

// Something to avoid: it sways back and forth along (dir_x, dir_y) over range pixels.
struct Hazard {
    int32_t x;
    int32_t y;
    int32_t dir_x;
    int32_t dir_y;
    int32_t range;
    int32_t speed;  // pixels per tick
};

struct EpisodeContent {
    int32_t number;
    const char* title;
    const char* tagline;
    int32_t scenery;
    COLORREF sky_top;
    COLORREF sky_bottom;
    COLORREF ground;
    COLORREF detail;  // flowers, mushrooms, rock, lily pads, clouds
    COLORREF text;
    COLORREF star;
    COLORREF hazard;
    int32_t wind;  // sideways push on Bolvo, pixels every other tick
    Spot start;
    int32_t star_count;
    Spot stars[MAX_STARS];
    int32_t hazard_count;
    Hazard hazards[MAX_HAZARDS];
};

// Results of play_episode, passed on as MAIN's result.
enum {
    EPISODE_BACK_TO_LAUNCHER = 0,
    EPISODE_QUIT_GAME = 1,
};

// Runs the episode until the player leaves it: Esc or closing the window gives
// EPISODE_BACK_TO_LAUNCHER, Q gives EPISODE_QUIT_GAME.
int play_episode(const EpisodeContent* content);
