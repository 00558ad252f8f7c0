// Episode modules chaptr1.dll ... chaptr5.dll: finding them, turning their two row images into
// the episode chooser's rows, and running one while the launcher's window is torn down.
#pragma once

#include <windows.h>
#include <stdint.h>

enum { MAX_EPISODES = 5 };

// The two row images of one module, each a memory device context with the bitmap selected.
// A slot whose act is null is empty.
struct EpisodeImages {
    HDC act;
    HDC dis;
};

extern EpisodeImages episode_images[MAX_EPISODES];
extern int32_t selected_episode;

HRESULT find_episodes(HWND window);
// Writes hotspots 1 to 5 of the episode page from episode_images.
void fill_episode_rows(void);
HRESULT run_episode(void);

// "chaptrN.dll" for module number N (1 to 5).
void episode_file_name(int32_t number, char* name, size_t name_size);
