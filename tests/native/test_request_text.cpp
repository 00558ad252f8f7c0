// Tests of the news fetch's texts: the exact bytes of both requests, the error text and the
// connecting text, and that a short output buffer is never overrun.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "news/request_text.h"

namespace {

typedef size_t (*builder)(const char* host, char* out, size_t out_size);

std::string build(builder b, const char* host)
{
    char out[512];
    size_t n = b(host, out, sizeof out);
    EXPECT_LT(n, sizeof out);
    EXPECT_EQ(strlen(out), n);
    return std::string(out, n);
}

TEST(RequestText, ExactTexts)
{
    EXPECT_EQ(build(build_direct_request, "news.bolvoquest.example"),
              "GET /bolvo/news/getnews.cgi HTTP/1.0\r\n"
              "Host: news.bolvoquest.example\r\n"
              "\r\n");
    EXPECT_EQ(build(build_proxy_request, "news.bolvoquest.example"),
              "GET http://news.bolvoquest.example/bolvo/news/getnews.cgi HTTP/1.0\r\n"
              "Host: news.bolvoquest.example\r\n"
              "\r\n");
    EXPECT_EQ(build(build_news_error_text, "news.bolvoquest.example"),
              "\n\n\n\n\n"
              "                "   // 16 blanks
              "ERROR: Cannot connect to News server\n"
              "       "            // 7 blanks
              "Visit our site news.bolvoquest.example for more information.");
    EXPECT_EQ(build(build_direct_request, "h"), "GET /bolvo/news/getnews.cgi HTTP/1.0\r\nHost: h\r\n\r\n");
    EXPECT_EQ(build(build_proxy_request, ""), "GET http:///bolvo/news/getnews.cgi HTTP/1.0\r\nHost: \r\n\r\n");
}

TEST(RequestText, ConnectingText)
{
    const std::string text = NEWS_CONNECTING_TEXT;
    EXPECT_EQ(text.size(), 51u);
    EXPECT_EQ(text, "\n\n\n\n\n\n\t   Connecting to Game site.. Please wait... ");
}

TEST(RequestText, ShortBuffersAreCutAndTerminated)
{
    const builder builders[] = {build_direct_request, build_proxy_request, build_news_error_text};
    const char* host = "news.bolvoquest.example";
    for (builder b : builders) {
        const std::string full = build(b, host);
        for (size_t size = 0; size <= full.size() + 1; size++) {
            std::vector<char> out(size + 4, '#');
            EXPECT_EQ(b(host, out.data(), size), full.size());
            if (size > 0) {
                size_t kept = size - 1 < full.size() ? size - 1 : full.size();
                EXPECT_EQ(std::string(out.data()), full.substr(0, kept));
            }
            for (size_t i = size; i < out.size(); i++)
                ASSERT_EQ(out[i], '#') << "size " << size << " wrote at " << i;
        }
    }
}

}  // namespace
