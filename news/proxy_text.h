// Parser of the user's ProxyServer setting text: either a bare "host:port" or a list of
// entries such as "ftp=10.0.0.9:21;http=10.0.0.1:81", of which the http entry is used.
// Plain code, shared by the Win32 registry lookup and the host tests.
#ifndef BOLVO_NEWS_PROXY_TEXT_H
#define BOLVO_NEWS_PROXY_TEXT_H

#include <stdint.h>

constexpr int32_t PROXY_HOST_SIZE = 255;   // 254 characters and the zero byte

struct proxy_entry {
    int32_t start;                // position where the entry starts: after "http=", else 0
    char host[PROXY_HOST_SIZE];   // zero-terminated, cut to 254 characters
    uint16_t port;                // 0 when there is no ':' or no digits after it
    int32_t is_name;              // 0 when the entry starts with a decimal digit, else 1
};

// Reads the zero-terminated text into *out (every field written).
// - start: right after the first "http=" (exactly that case), else 0;
// - is_name: 0 when the character at start is '0'..'9', else 1;
// - host: from start up to the first ':' at or after it, else to the end of the text; only ':'
//   ends it (a ';' does not); longer hosts are cut to 254 characters;
// - port: the number after that ':' as atoi reads it (leading white space, one sign, digits up
//   to the first non-digit), saturated to the signed 32-bit range, of which the low 16 bits
//   are kept.
void parse_proxy_server(const char* text, proxy_entry* out);

#endif
