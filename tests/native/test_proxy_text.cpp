// Tests of the ProxyServer text parser: which entry is used, name or address, where the host
// ends, how the port is read (atoi-like, saturating, low 16 bits) and the 254-character cut.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "news/proxy_text.h"

namespace {

struct ProxyCase {
    const char* text;
    int32_t start;
    const char* host;
    uint16_t port;
    int32_t is_name;
};

void PrintTo(const ProxyCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class ProxyText : public ::testing::TestWithParam<ProxyCase> {};

TEST_P(ProxyText, Parses)
{
    const ProxyCase& c = GetParam();
    proxy_entry e;
    memset(&e, 0x5A, sizeof e);   // every field must be written
    parse_proxy_server(c.text, &e);
    EXPECT_EQ(e.start, c.start);
    EXPECT_STREQ(e.host, c.host);
    EXPECT_EQ(e.port, c.port);
    EXPECT_EQ(e.is_name, c.is_name);
}

const ProxyCase cases[] = {
    {"10.0.0.1:80", 0, "10.0.0.1", 80, 0},
    {"ftp=10.0.0.9:21;http=10.0.0.1:81", 21, "10.0.0.1", 81, 0},
    {"ftp=10.0.0.9:21", 0, "ftp=10.0.0.9", 21, 1},
    {"proxy.example:3128", 0, "proxy.example", 3128, 1},
    {"http=proxy.example:8080;https=proxy.example:8443", 5, "proxy.example", 8080, 1},
    {"10.0.0.1", 0, "10.0.0.1", 0, 0},                       // no ':': host to the end
    {"http=10.0.0.1;ftp=10.0.0.9:21", 5, "10.0.0.1;ftp=10.0.0.9", 21, 0},
    {"HTTP=10.0.0.1:81", 0, "HTTP=10.0.0.1", 81, 1},        // the key is case-sensitive
    {"http=10.0.0.2:82;http=10.0.0.3:83", 5, "10.0.0.2", 82, 0},   // the first one counts
    {"http=", 5, "", 0, 1},
    {"", 0, "", 0, 1},
    {":8080", 0, "", 8080, 1},
    {"host:", 0, "host", 0, 1},                              // no digits
    {"host:abc", 0, "host", 0, 1},
    {"host:  \t 8080;x", 0, "host", 8080, 1},               // white space skipped
    {"host:+81", 0, "host", 81, 1},
    {"host:-1", 0, "host", 65535, 1},                        // low 16 bits of -1
    {"host:- 1", 0, "host", 0, 1},                           // no digits right after the sign
    {"host:+-1", 0, "host", 0, 1},                           // one sign only
    {"host:65536", 0, "host", 0, 1},
    {"host:65617", 0, "host", 81, 1},
    {"host:2147483647", 0, "host", 65535, 1},
    {"host:99999999999999999999", 0, "host", 65535, 1},     // saturates at 0x7FFFFFFF
    {"host:-2147483648", 0, "host", 0, 1},
    {"host:-99999999999999999999", 0, "host", 0, 1},        // saturates at -0x80000000
    {"host:-2147483647", 0, "host", 1, 1},
    {"host:80:90", 0, "host", 80, 1},
    {"9host:80", 0, "9host", 80, 0},                         // a leading digit means address
    {" 10.0.0.1:80", 0, " 10.0.0.1", 80, 1},
};

INSTANTIATE_TEST_SUITE_P(Examples, ProxyText, ::testing::ValuesIn(cases));

TEST(ProxyTextHost, LongHostIsCutTo254Characters)
{
    for (size_t length : {253u, 254u, 255u, 300u, 511u}) {
        SCOPED_TRACE(length);
        std::string host(length, 'h');
        for (size_t i = 0; i < length; i++)
            host[i] = (char)('a' + i % 26);
        const std::string text = "http=" + host + ":8080";
        proxy_entry e;
        memset(&e, 0x5A, sizeof e);
        parse_proxy_server(text.c_str(), &e);
        const size_t kept = length < 254 ? length : 254;
        EXPECT_EQ(std::string(e.host), host.substr(0, kept));
        for (size_t i = kept; i < sizeof e.host; i++)
            ASSERT_EQ(e.host[i], 0) << "at " << i;
        EXPECT_EQ(e.port, 8080);
        EXPECT_EQ(e.start, 5);
    }
}

}  // namespace
