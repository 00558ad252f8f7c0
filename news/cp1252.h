// UTF-8 to Windows-1252, the code page the launcher shows its news in. Used by the news
// packing tool, which must refuse a text that the launcher cannot show rather than change it.
#ifndef BOLVO_NEWS_CP1252_H
#define BOLVO_NEWS_CP1252_H

#include <stddef.h>
#include <stdint.h>

constexpr int32_t CP1252_OK = 0;
constexpr int32_t CP1252_BAD_UTF8 = 1;      // the input is not well-formed UTF-8
constexpr int32_t CP1252_UNMAPPABLE = 2;    // a character that Windows-1252 cannot hold
constexpr int32_t CP1252_NO_ROOM = 3;       // the output buffer is too small

struct cp1252_error {
    int32_t kind;             // one of the CP1252_ codes
    uint32_t line;            // 1-based line of the offending character
    uint32_t column;          // 1-based, counted in characters
    uint32_t code_point;      // the character (CP1252_UNMAPPABLE only)
    char utf8[5];             // its UTF-8 bytes, zero-terminated (CP1252_UNMAPPABLE only)
};

// The Windows-1252 byte of a Unicode code point, or -1 when the code page has none. The C1
// controls U+0080..U+009F are refused: five bytes of 0x80..0x9F are unassigned and the others
// stand for typographic characters.
int32_t cp1252_from_code_point(uint32_t code_point);

// Converts in_len bytes of UTF-8 into out (one byte per character, so out_size >= in_len is
// always enough). A byte order mark at the very start is skipped. Returns CP1252_OK and sets
// *out_len, or an error code with *error filled in; out is then incomplete.
int32_t utf8_to_cp1252(const char* in, size_t in_len, char* out, size_t out_size,
                       size_t* out_len, cp1252_error* error);

// One-line English description of an error, e.g.
// "line 3, column 7: character U+4E2D '中' cannot be written in Windows-1252".
// snprintf-like: returns the full length, writes at most out_size bytes with a zero byte.
size_t cp1252_describe_error(const cp1252_error* error, char* out, size_t out_size);

#endif
