// The news fetch: a worker thread per fetch that gets the news from the game's news server and
// shows it, or an error text, in the news view.
#pragma once

#include <windows.h>
#include <stdint.h>

extern volatile LONG news_loaded;
extern const char news_connecting_text[];

HRESULT start_news_fetch(void);
