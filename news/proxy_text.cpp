// Parser of the ProxyServer setting text; see proxy_text.h.
#include "news/proxy_text.h"

#include <string.h>

static bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

// The white space that atoi skips in the "C" locale.
static bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atoi as the port is read: signed 32-bit, saturating at both ends of the range.
static int32_t read_number(const char* p)
{
    while (is_space(*p))
        p++;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        p++;
    }
    // Accumulate the magnitude, stopping at 2^31 so it cannot overflow.
    const int64_t limit = (int64_t)1 << 31;
    int64_t magnitude = 0;
    while (is_digit(*p)) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > limit)
            magnitude = limit;
        p++;
    }
    if (negative)
        return (int32_t)-magnitude;   // -2^31 at most, which fits
    return magnitude >= limit ? INT32_MAX : (int32_t)magnitude;
}

void parse_proxy_server(const char* text, proxy_entry* out)
{
    static const char http_key[] = "http=";
    const char* http = strstr(text, http_key);
    int32_t start = http != NULL ? (int32_t)(http - text) + (int32_t)(sizeof http_key - 1) : 0;
    const char* entry = text + start;

    out->start = start;
    out->is_name = is_digit(entry[0]) ? 0 : 1;

    const char* colon = strchr(entry, ':');
    size_t host_length = colon != NULL ? (size_t)(colon - entry) : strlen(entry);
    if (host_length > (size_t)PROXY_HOST_SIZE - 1)
        host_length = (size_t)PROXY_HOST_SIZE - 1;
    memset(out->host, 0, sizeof out->host);
    memcpy(out->host, entry, host_length);

    out->port = colon != NULL ? (uint16_t)((uint32_t)read_number(colon + 1) & 0xFFFFu) : 0;
}
