// UTF-8 to Windows-1252 conversion for the news packing tool; see cp1252.h.
#include "news/cp1252.h"

#include <stdio.h>
#include <string.h>

// Code points of the bytes 0x80..0x9F; 0 marks the five unassigned bytes.
static const uint16_t high_controls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

int32_t cp1252_from_code_point(uint32_t code_point)
{
    if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF))
        return (int32_t)code_point;
    for (int32_t i = 0; i < 32; i++) {
        if (high_controls[i] != 0 && high_controls[i] == code_point)
            return 0x80 + i;
    }
    return -1;
}

// Reads one UTF-8 character at in[*pos]; returns its code point and advances *pos, or returns
// -1 for an ill-formed sequence (stray continuation byte, truncated sequence, overlong form,
// surrogate, or beyond U+10FFFF).
static int32_t read_utf8(const unsigned char* in, size_t len, size_t* pos)
{
    size_t i = *pos;
    unsigned char lead = in[i];
    int extra;
    uint32_t cp;
    uint32_t min;
    if (lead < 0x80) {
        *pos = i + 1;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1; cp = lead & 0x1F; min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2; cp = lead & 0x0F; min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3; cp = lead & 0x07; min = 0x10000;
    } else {
        return -1;
    }
    if (len - i - 1 < (size_t)extra)
        return -1;
    for (int k = 1; k <= extra; k++) {
        unsigned char c = in[i + (size_t)k];
        if ((c & 0xC0) != 0x80)
            return -1;
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return -1;
    *pos = i + 1 + (size_t)extra;
    return (int32_t)cp;
}

int32_t utf8_to_cp1252(const char* in_text, size_t in_len, char* out, size_t out_size,
                       size_t* out_len, cp1252_error* error)
{
    const unsigned char* in = (const unsigned char*)in_text;
    memset(error, 0, sizeof *error);
    size_t pos = 0;
    if (in_len >= 3 && in[0] == 0xEF && in[1] == 0xBB && in[2] == 0xBF)
        pos = 3;

    uint32_t line = 1;
    uint32_t column = 1;
    size_t written = 0;
    while (pos < in_len) {
        size_t char_start = pos;
        int32_t cp = read_utf8(in, in_len, &pos);
        if (cp < 0) {
            error->kind = CP1252_BAD_UTF8;
            error->line = line;
            error->column = column;
            return CP1252_BAD_UTF8;
        }
        int32_t byte = cp1252_from_code_point((uint32_t)cp);
        if (byte < 0) {
            error->kind = CP1252_UNMAPPABLE;
            error->line = line;
            error->column = column;
            error->code_point = (uint32_t)cp;
            memcpy(error->utf8, in + char_start, pos - char_start);
            return CP1252_UNMAPPABLE;
        }
        if (written >= out_size) {
            error->kind = CP1252_NO_ROOM;
            error->line = line;
            error->column = column;
            return CP1252_NO_ROOM;
        }
        out[written++] = (char)byte;
        if (cp == '\n') {
            line++;
            column = 1;
        } else {
            column++;
        }
    }
    *out_len = written;
    return CP1252_OK;
}

size_t cp1252_describe_error(const cp1252_error* error, char* out, size_t out_size)
{
    int n;
    switch (error->kind) {
    case CP1252_BAD_UTF8:
        n = snprintf(out, out_size, "line %u, column %u: the text is not valid UTF-8",
                     (unsigned)error->line, (unsigned)error->column);
        break;
    case CP1252_UNMAPPABLE:
        // Control characters are named by code point only, so the message stays on one line.
        if (error->code_point < 0xA0)
            n = snprintf(out, out_size,
                         "line %u, column %u: character U+%04X cannot be written in "
                         "Windows-1252",
                         (unsigned)error->line, (unsigned)error->column,
                         (unsigned)error->code_point);
        else
            n = snprintf(out, out_size,
                         "line %u, column %u: character U+%04X '%s' cannot be written in "
                         "Windows-1252",
                         (unsigned)error->line, (unsigned)error->column,
                         (unsigned)error->code_point, error->utf8);
        break;
    case CP1252_NO_ROOM:
        n = snprintf(out, out_size, "line %u: output buffer too small", (unsigned)error->line);
        break;
    default:
        n = snprintf(out, out_size, "no error");
        break;
    }
    return n < 0 ? 0 : (size_t)n;
}
