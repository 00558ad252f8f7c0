// Fuzz target: any byte string, encoded into a reply body by encode_news and decoded by
// decode_news, comes back as the same bytes with every carriage return removed.
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
    std::vector<char> expected;
    for (size_t i = 0; i < size; i++)
        if (data[i] != 13)
            expected.push_back((char)data[i]);
    if (expected.size() + 2 > NEWS_TEXT_SIZE)
        return 0;

    size_t need = encode_news(data, size, NULL, 0);
    if (need > encode_news_bound(size))
        abort();
    const char headers[] = "HTTP/1.1 200 OK\r\n\r\n";
    std::vector<char> reply(sizeof headers - 1 + need + 1);
    memcpy(reply.data(), headers, sizeof headers - 1);
    if (encode_news(data, size, reply.data() + sizeof headers - 1, need + 1) != need)
        abort();
    if (reply.back() != 0 || strlen(reply.data()) != reply.size() - 1)
        abort();

    memset(news_text, 0xA5, NEWS_TEXT_SIZE);
    fuzz_log_dir_enter();
    int32_t status = decode_news(reply.data());
    fuzz_log_dir_leave();
    if (status != STATUS_S_OK)
        abort();
    if (!expected.empty() && memcmp(news_text, expected.data(), expected.size()) != 0)
        abort();
    if (news_text[expected.size()] != 0 || (uint8_t)news_text[expected.size() + 1] != 0xA5)
        abort();
    return 0;
}
