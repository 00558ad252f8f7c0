// The news fetch: a worker thread per fetch that gets the news from the game's news server and
// shows it, or an error text, in the news view.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "news/news_codec.h"

// Set after a fetch has shown the news; cleared at the start of every fetch. Written with
// InterlockedExchange by the workers, read by the main thread.
extern volatile LONG news_loaded;
extern const char news_connecting_text[];
// The server's reply as received, and a zero byte after it.
extern char receive_buffer[NEWS_REPLY_SIZE + 1];
// Receive and send time-out of the fetch's socket in milliseconds: a server that stops
// answering ends the fetch with the error text instead of keeping the worker forever.
extern DWORD news_socket_timeout_ms;

// Starts a worker thread that runs fetch_news; S_OK when the thread exists, else E_FAIL.
HRESULT start_news_fetch(void);
// The worker: fetches the news and shows it, or the error text, in the news view. A worker
// waits for the one before it to end, so fetches never overlap. The argument is not read.
DWORD WINAPI fetch_news(LPVOID unused);
