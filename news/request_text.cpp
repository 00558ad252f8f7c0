// Builders of the news fetch's request and error texts; see request_text.h.
#include "news/request_text.h"

// Bounded text writer: counts every character, stores those that fit before the zero byte.
struct text_writer {
    char* data;
    size_t size;
    size_t length;
};

static void append(text_writer* w, const char* text)
{
    for (; *text != 0; text++) {
        if (w->length + 1 < w->size)
            w->data[w->length] = *text;
        w->length++;
    }
}

static size_t finish(text_writer* w)
{
    if (w->size > 0)
        w->data[w->length < w->size ? w->length : w->size - 1] = 0;
    return w->length;
}

size_t build_direct_request(const char* host, char* out, size_t out_size)
{
    text_writer w = {out, out_size, 0};
    append(&w, "GET ");
    append(&w, NEWS_PATH);
    append(&w, " HTTP/1.0\r\nHost: ");
    append(&w, host);
    append(&w, "\r\n\r\n");
    return finish(&w);
}

size_t build_proxy_request(const char* host, char* out, size_t out_size)
{
    text_writer w = {out, out_size, 0};
    append(&w, "GET http://");
    append(&w, host);
    append(&w, NEWS_PATH);
    append(&w, " HTTP/1.0\r\nHost: ");
    append(&w, host);
    append(&w, "\r\n\r\n");
    return finish(&w);
}

size_t build_news_error_text(const char* host, char* out, size_t out_size)
{
    text_writer w = {out, out_size, 0};
    append(&w, "\n\n\n\n\n                ERROR: Cannot connect to News server\n       Visit our site ");
    append(&w, host);
    append(&w, " for more information.");
    return finish(&w);
}
