// Decoder of the news payload in a server reply, and the matching encoder of the publishing
// tool. Plain code: no Win32 calls, so it is unit-tested and fuzzed on the host.
#include "news/news_codec.h"

#include <string.h>

#include "bootlog/bootlog.h"
#include "launcher/status.h"

const char news_marker[NEWS_MARKER_LENGTH + 1] = "+-+-+-+-";
const char news_alphabet[NEWS_ALPHABET_SIZE + 1] =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

char news_text[NEWS_TEXT_SIZE];

static const uint8_t CARRIAGE_RETURN = 13;

// Value of one payload byte: its position in news_alphabet; any other byte counts as 0.
static uint8_t symbol_value(uint8_t c)
{
    if (c >= '0' && c <= '9')
        return (uint8_t)(c - '0');
    if (c >= 'a' && c <= 'z')
        return (uint8_t)(c - 'a' + 10);
    if (c >= 'A' && c <= 'Z')
        return (uint8_t)(c - 'A' + 36);
    return 0;
}

int32_t decode_news(char* reply)
{
    char* first = strstr(reply, news_marker);
    if (first == NULL)
        return STATUS_E_FAIL;

    uint8_t* payload = (uint8_t*)(first + NEWS_MARKER_LENGTH);
    const char* second = strstr((const char*)payload, news_marker);
    size_t length = second != NULL ? (size_t)(second - (const char*)payload) : 0;

    // Pass 1: symbols to their 6-bit values, in place.
    for (size_t i = 0; i < length; i++)
        payload[i] = symbol_value(payload[i]);
    log_line(LOG_DECODE_PASS_1, 1);

    // Pass 2: every complete group of four values gives three bytes; carriage returns are
    // dropped. The cap only matters for replies longer than the fetch ever keeps.
    size_t written = 0;
    size_t groups = length / 4;
    for (size_t g = 0; g < groups; g++) {
        const uint8_t* s = payload + g * 4;
        uint8_t bytes[3];
        bytes[0] = (uint8_t)((s[0] << 2) | ((s[1] >> 4) & 3));
        bytes[1] = (uint8_t)((s[1] << 4) | ((s[2] >> 2) & 15));
        bytes[2] = (uint8_t)((s[2] << 6) | (s[3] & 63));
        for (int k = 0; k < 3; k++) {
            if (bytes[k] != CARRIAGE_RETURN && written < NEWS_TEXT_SIZE - 1)
                news_text[written++] = (char)bytes[k];
        }
    }
    news_text[written] = 0;
    log_line(LOG_DECODE_PASS_2, 1);
    return STATUS_S_OK;
}

// Encoding scheme.
//
// A group of three bytes x1 x2 x3 is the 24-bit number x1<<16 | x2<<8 | x3, and its four
// symbols are the four 6-bit fields of that number, first field first. Only the values 0..61
// have a symbol, so a group can be written exactly when none of its fields is 62 or 63:
//   s1 = x1 >> 2                      fails when x1 >= 248
//   s2 = (x1 & 3) << 4 | x2 >> 4      fails when x1 & 3 == 3   and x2 >= 0xE0
//   s3 = (x2 & 15) << 2 | x3 >> 6     fails when x2 & 15 == 15 and x3 >= 0x80
//   s4 = x3 & 63                      fails when x3 & 63 >= 62  (e.g. '?' = 0x3F, '~' = 0x7E)
// The decoder drops every carriage return (CR, 13 = 0x0D), so CR bytes can be put anywhere as
// filler. CR meets none of the failing conditions in any position (13 < 248, 13 & 3 == 1,
// 13 >> 4 == 0, 13 & 15 == 13, 13 >> 6 == 0, 13 & 63 == 13), which gives two facts:
//   (a) turning any byte of a writable group into CR leaves it writable (every condition is an
//       "and" of two, or a single one, and CR breaks each of them), and CR CR CR is writable;
//   (b) any byte b is writable as the middle byte of CR b CR, so one group always takes at
//       least one byte and the encoder never gets stuck.
// CRs of the input are left out (the decoder would drop them anyway). For the other bytes the
// encoder works greedily: each group takes as many of the next bytes as it can, 3, 2 or 1, in
// order, trying every way of placing CRs in the remaining positions; the last group is filled
// up with CRs in the same way, since the decoder ignores an incomplete group. By (a), an
// encoding of the bytes from position i on can be turned into one of the bytes from i+1 on
// with no more groups (turn byte i into CR and drop a group that became all CR), so the least
// number of groups never grows with i, and taking the most bytes per group is optimal.
// ASCII text needs little filler: below 0x80 only the third position can fail, and only for
// '>', '?', '~' and DEL (low six bits 62 or 63).

static bool group_writable(uint8_t x1, uint8_t x2, uint8_t x3)
{
    uint32_t v = ((uint32_t)x1 << 16) | ((uint32_t)x2 << 8) | x3;
    for (int shift = 18; shift >= 0; shift -= 6) {
        if (((v >> shift) & 63) >= NEWS_ALPHABET_SIZE)
            return false;
    }
    return true;
}

// Bounded writer of the encoder's output: counts every byte, stores those that fit.
struct out_buffer {
    char* data;
    size_t size;
    size_t length;
};

static void put_char(out_buffer* out, char c)
{
    if (out->length + 1 < out->size)
        out->data[out->length] = c;
    out->length++;
}

static void put_group(out_buffer* out, uint8_t x1, uint8_t x2, uint8_t x3)
{
    uint32_t v = ((uint32_t)x1 << 16) | ((uint32_t)x2 << 8) | x3;
    for (int shift = 18; shift >= 0; shift -= 6)
        put_char(out, news_alphabet[(v >> shift) & 63]);
}

static void put_marker(out_buffer* out)
{
    for (size_t i = 0; i < NEWS_MARKER_LENGTH; i++)
        put_char(out, news_marker[i]);
}

size_t encode_news_bound(size_t len)
{
    return 2 * NEWS_MARKER_LENGTH + 4 * len;
}

// Where the next k bytes (in order) go in a group of three; the other positions get CR.
struct placement {
    int count;
    uint8_t used[3];
};
static const placement placements[] = {
    {3, {1, 1, 1}},
    {2, {1, 1, 0}}, {2, {1, 0, 1}}, {2, {0, 1, 1}},
    {1, {1, 0, 0}}, {1, {0, 0, 1}}, {1, {0, 1, 0}},   // the last one always fits
};

size_t encode_news(const uint8_t* data, size_t len, char* out_data, size_t out_size)
{
    out_buffer out = {out_data, out_size, 0};
    put_marker(&out);

    size_t pos = 0;
    for (;;) {
        // The next (up to) three bytes that are not CR.
        uint8_t next[3];
        size_t after[3];   // input position after each of them
        int available = 0;
        for (size_t i = pos; i < len && available < 3; i++) {
            if (data[i] == CARRIAGE_RETURN)
                continue;
            next[available] = data[i];
            after[available] = i + 1;
            available++;
        }
        if (available == 0)
            break;

        for (size_t p = 0; p < sizeof placements / sizeof placements[0]; p++) {
            const placement* pl = &placements[p];
            if (pl->count > available)
                continue;
            uint8_t x[3];
            int taken = 0;
            for (int k = 0; k < 3; k++)
                x[k] = pl->used[k] ? next[taken++] : CARRIAGE_RETURN;
            if (!group_writable(x[0], x[1], x[2]))
                continue;
            put_group(&out, x[0], x[1], x[2]);
            pos = after[pl->count - 1];
            break;
        }
    }

    put_marker(&out);
    if (out.size > 0)
        out.data[out.length < out.size ? out.length : out.size - 1] = 0;
    return out.length;
}
