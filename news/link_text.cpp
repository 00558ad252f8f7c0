// Taking a clicked link out of the news text and deciding whether it may be opened.
#include "news/link_text.h"

#include <string.h>

int32_t copy_news_link(const char* text, size_t text_length, int32_t first, int32_t end,
                       char* link)
{
    memset(link, 0, NEWS_LINK_SIZE);
    if (first < 0 || end <= first || (size_t)end > text_length)
        return 0;
    if (end - first > NEWS_LINK_SIZE - 1)
        return 0;
    memcpy(link, text + first, (size_t)(end - first));
    return 1;
}

static int32_t starts_with_ignoring_case(const char* text, const char* prefix)
{
    for (; *prefix != '\0'; text++, prefix++) {
        char c = *text;
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
        if (c != *prefix)
            return 0;
    }
    return 1;
}

int32_t is_web_link(const char* link)
{
    return starts_with_ignoring_case(link, "http://") ||
           starts_with_ignoring_case(link, "https://") || starts_with_ignoring_case(link, "www.");
}
