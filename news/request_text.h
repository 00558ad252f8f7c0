// The texts of a news fetch that name the news server: the two HTTP/1.0 requests (direct and
// through a proxy) and the error text the news view shows when a fetch fails, plus the fixed
// "connecting" text. The host is a parameter, so the texts are tested on the host; the
// launcher passes its compiled-in news server name.
//
// The builders work like snprintf: each returns the full length of its text (no zero byte
// counted) and writes at most out_size bytes, the last one a zero byte, so the text is
// complete when the result is below out_size. They never write past out_size.
#ifndef BOLVO_NEWS_REQUEST_TEXT_H
#define BOLVO_NEWS_REQUEST_TEXT_H

#include <stddef.h>

// The path of the news on the server.
constexpr char NEWS_PATH[] = "/bolvo/news/getnews.cgi";

// Shown in the news view while a fetch runs (and when the view is created): six line feeds,
// a tab, three blanks, the words and one trailing blank. A string literal, so the Win32 side
// can define its news_connecting_text array from it.
#define NEWS_CONNECTING_TEXT "\n\n\n\n\n\n\t   Connecting to Game site.. Please wait... "

// "GET /bolvo/news/getnews.cgi HTTP/1.0\r\nHost: HOST\r\n\r\n"
size_t build_direct_request(const char* host, char* out, size_t out_size);

// "GET http://HOST/bolvo/news/getnews.cgi HTTP/1.0\r\nHost: HOST\r\n\r\n"
size_t build_proxy_request(const char* host, char* out, size_t out_size);

// "\n\n\n\n\n" + 16 blanks + "ERROR: Cannot connect to News server\n" + 7 blanks +
// "Visit our site HOST for more information."
size_t build_news_error_text(const char* host, char* out, size_t out_size);

#endif
