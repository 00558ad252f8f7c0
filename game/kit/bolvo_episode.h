// The episode module interface of Bolvo Quest, for anyone who makes an episode: what the
// launcher looks for in chaptr1.dll ... chaptr5.dll and what it does around the call of MAIN.
//
// A module is a Windows DLL named chaptrN.dll (N = 1 ... 5, its place on the episode chooser)
// lying beside launcher.exe; the launcher loads it by that bare name with LoadLibraryA. It needs:
//  - two bitmap resources with the string names "DLL_ACT" (the row while the pointer is over it)
//    and "DLL_DIS" (the row at all other times). The launcher copies 400 x 40 pixels from the
//    top-left corner of each, whatever their real size, so draw them 400 x 40.
//  - an export named exactly "MAIN" (no decoration): int MAIN(void).
//
// What the launcher does around the call of MAIN, on its one main thread:
//  - before: it destroys its own window and unregisters its window class, and lowers the cursor
//    display count by one (ShowCursor(FALSE)); an episode may show or hide the cursor as it
//    likes but should leave the count as it found it;
//  - during: the launcher's message loop is suspended beneath the call, so any window the
//    episode makes needs the episode's own message loop. Name the game's window class and title
//    BOLVO_GAME_WINDOW_NAME: a launcher started meanwhile sees it and refuses to run;
//  - after: it raises the cursor display count by 50; with BOLVO_EPISODE_END_LAUNCHER the
//    launcher ends, with any other result it builds its window again and carries on;
//  - the module stays loaded until the launcher ends, and choosing the episode again calls MAIN
//    of the module already loaded: release everything (windows, window classes, GDI objects,
//    timers) before MAIN returns so that a second run starts clean.
#pragma once

#define BOLVO_EPISODE_ACT_IMAGE "DLL_ACT"
#define BOLVO_EPISODE_DIS_IMAGE "DLL_DIS"
#define BOLVO_EPISODE_IMAGE_WIDTH 400
#define BOLVO_EPISODE_IMAGE_HEIGHT 40
#define BOLVO_EPISODE_ENTRY_NAME "MAIN"

// The game's window: class name and title both.
#define BOLVO_GAME_WINDOW_NAME "Bolvo quest."

// Results of MAIN.
#define BOLVO_EPISODE_BACK_TO_LAUNCHER 0
#define BOLVO_EPISODE_END_LAUNCHER 1

#ifndef RC_INVOKED

#ifdef __cplusplus
#define BOLVO_EPISODE_EXPORT extern "C" __declspec(dllexport)
#else
#define BOLVO_EPISODE_EXPORT __declspec(dllexport)
#endif

// The entry of an episode: runs the whole episode on the calling thread and returns when it is
// over. A plain C function (no name mangling), the platform's default calling convention.
typedef int (*bolvo_episode_main_fn)(void);

BOLVO_EPISODE_EXPORT int MAIN(void);

#endif
