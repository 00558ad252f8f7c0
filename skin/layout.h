// The launcher's concrete skin: which bitmap goes where on the three pages, the hotspots with
// their rectangles and actions, the font, the news view and the episode rows.
#pragma once

#include <windows.h>

extern HFONT skin_font;

HRESULT build_skin(HWND window, HINSTANCE instance);

// Every memory device context that the skin creates is recorded here, so that a rebuild can
// release the ones no page and no episode slot uses any more.
void own_skin_dc(HDC dc);
void release_unused_skin_dcs(void);
// How many recorded device contexts are alive (for the rebuild tests).
unsigned owned_skin_dc_count(void);
