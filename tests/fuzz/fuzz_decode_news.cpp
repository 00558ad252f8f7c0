// Fuzz target: decode_news over arbitrary replies. The decoder must stay inside the reply and
// news_text, fail exactly when the reply holds no marker, and leave the reply's bytes outside
// the payload alone.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "fuzz_news_log_dir.h"
#include "launcher/status.h"
#include "news/news_codec.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz_log_dir_setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> reply(data, data + size);
    reply.push_back(0);
    const std::vector<char> original = reply;
    const char* first = strstr(original.data(), news_marker);

    news_text[0] = 1;
    fuzz_log_dir_enter();
    int32_t status = decode_news(reply.data());
    fuzz_log_dir_leave();
    if ((status == STATUS_S_OK) != (first != NULL))
        abort();
    if (first == NULL) {
        if (news_text[0] != 1 || memcmp(reply.data(), original.data(), reply.size()) != 0)
            abort();
        return 0;
    }
    // Everything up to the payload, and from its closing marker on, is unchanged.
    size_t payload = (size_t)(first - original.data()) + NEWS_MARKER_LENGTH;
    const char* second = strstr(original.data() + payload, news_marker);
    size_t end = second != NULL ? (size_t)(second - original.data()) : payload;
    if (memcmp(reply.data(), original.data(), payload) != 0 ||
        memcmp(reply.data() + end, original.data() + end, reply.size() - end) != 0)
        abort();
    if (memchr(news_text, 0, NEWS_TEXT_SIZE) == NULL)
        abort();
    return 0;
}
