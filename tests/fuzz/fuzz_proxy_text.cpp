// Fuzz target: parse_proxy_server over arbitrary texts. The host must stay a zero-terminated
// prefix of the entry, within its 255 bytes, and the other fields must be consistent with it.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "news/proxy_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> text(data, data + size);
    text.push_back(0);
    const size_t length = strlen(text.data());

    proxy_entry e;
    memset(&e, 0x5A, sizeof e);
    parse_proxy_server(text.data(), &e);

    if (e.start < 0 || (size_t)e.start > length)
        abort();
    if (e.start != 0 && memcmp(text.data() + e.start - 5, "http=", 5) != 0)
        abort();
    const char* entry = text.data() + e.start;
    if (e.is_name != ((entry[0] >= '0' && entry[0] <= '9') ? 0 : 1))
        abort();
    const void* host_end = memchr(e.host, 0, sizeof e.host);
    if (host_end == NULL)
        abort();
    size_t host_length = (size_t)((const char*)host_end - e.host);
    if (host_length > 254 || memcmp(e.host, entry, host_length) != 0)
        abort();
    if (memchr(e.host, ':', host_length) != NULL)
        abort();
    const char* colon = strchr(entry, ':');
    if (colon == NULL && e.port != 0)
        abort();
    if (host_length < 254 && entry[host_length] != ':' && entry[host_length] != 0)
        abort();
    return 0;
}
