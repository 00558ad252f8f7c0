// Which links of the news are opened, and how their text is taken from the news text. A link
// comes from the network: only web links are handed to the shell, never a file, a share or
// whatever else the view happens to detect.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum { NEWS_LINK_SIZE = 255 };  // 254 characters and the zero byte

// Copies the characters first..end-1 of text (text_length bytes) into link, which must hold
// NEWS_LINK_SIZE bytes and is cleared first. Returns 1 when the range lies inside the text and
// fits the buffer with its zero byte, else 0 (link left empty).
int32_t copy_news_link(const char* text, size_t text_length, int32_t first, int32_t end,
                       char* link);

// 1 when the link starts with "http://", "https://" or "www." in any letter case.
int32_t is_web_link(const char* link);
