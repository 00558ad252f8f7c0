// Tests of the news payload decoder (decode_news) and of its inverse, the encoder of the
// publishing tool: worked examples, marker placement, group edges, carriage-return removal,
// the largest reply, and encode-then-decode round trips over bytes that need CR filler.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bootlog/bootlog.h"
#include "launcher/status.h"
#include "news/news_codec.h"

namespace {

const std::string MARKER = "+-+-+-+-";
const char SENTINEL = (char)0xA5;

// Runs each test in a fresh temporary working directory, because the decoder writes the boot
// log there, and fills news_text with a sentinel so untouched bytes can be seen.
class NewsCodec : public ::testing::Test {
protected:
    void SetUp() override
    {
        old_dir_ = std::filesystem::current_path();
        std::random_device rd;
        dir_ = std::filesystem::temp_directory_path() /
               ("bolvo-news-codec-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
        memset(news_text, SENTINEL, NEWS_TEXT_SIZE);
    }
    void TearDown() override
    {
        std::filesystem::current_path(old_dir_);
        std::filesystem::remove_all(dir_);
    }

    // Decodes a copy of reply; the copy stays available in reply_ afterwards.
    int32_t decode(const std::string& reply)
    {
        reply_.assign(reply.begin(), reply.end());
        reply_.push_back(0);
        return decode_news(reply_.data());
    }

    // The decoded text, up to the decoder's zero byte (which must exist).
    std::string decoded_text() const
    {
        const void* end = memchr(news_text, 0, NEWS_TEXT_SIZE);
        EXPECT_NE(end, nullptr);
        return end ? std::string(news_text, (const char*)end - news_text) : std::string();
    }

    std::string log_contents() const
    {
        std::ifstream in(LOG_FILE_NAME, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::filesystem::path old_dir_;
    std::filesystem::path dir_;
    std::vector<char> reply_;
};

const std::string HEADERS = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n";
const std::string PASS_LOG = std::string(LOG_DECODE_PASS_1) + "\n" + LOG_DECODE_PASS_2 + "\n";

TEST_F(NewsCodec, DecodesTheWorkedExamples)
{
    struct Case {
        const char* payload;
        std::string text;
    };
    const Case cases[] = {
        {"om9z", "abc"},
        {"i6Ad2C5Ir0", "Hi\nal"},   // a CR in the first group is dropped, "r0" is ignored
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.payload);
        memset(news_text, SENTINEL, NEWS_TEXT_SIZE);
        ASSERT_EQ(decode(HEADERS + MARKER + c.payload + MARKER), STATUS_S_OK);
        EXPECT_EQ(decoded_text(), c.text);
    }
}

TEST_F(NewsCodec, GroupEdgesAndCarriageReturns)
{
    struct Case {
        const char* name;
        std::string payload;
        std::string text;   // bytes of news_text before its zero byte
    };
    const Case cases[] = {
        {"three symbols make no group", "om9", ""},
        {"fifth symbol ignored", "om9z1", "abc"},
        {"seven symbols", "om9zu7B", "abc"},
        {"CR in position 1", "3m5y", "ab"},
        {"CR in position 2", "ogRy", "ab"},
        {"CR in position 3", "om8d", "ab"},
        {"CR LF CR keeps the LF", "3gEd", "\n"},
        {"CR LF line ends become LF", "i0RF2C5I", "Hi\nal"},
        {"two groups", "om9zu7BW", "abcxyz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        memset(news_text, SENTINEL, NEWS_TEXT_SIZE);
        ASSERT_EQ(decode(MARKER + c.payload + MARKER), STATUS_S_OK);
        EXPECT_EQ(decoded_text(), c.text);
        EXPECT_EQ(news_text[c.text.size() + 1], SENTINEL) << "wrote past its zero byte";
    }
}

TEST_F(NewsCodec, DecodedZeroBytesAreKept)
{
    ASSERT_EQ(decode(MARKER + "om9z0000u7BW" + MARKER), STATUS_S_OK);
    EXPECT_EQ(std::string(news_text, 10), std::string("abc\0\0\0xyz\0", 10));
    EXPECT_EQ(news_text[10], SENTINEL);
}

TEST_F(NewsCodec, NoMarkerFailsAndTouchesNothing)
{
    log_create();
    const std::string header_only = log_contents();
    const std::string replies[] = {"", "HTTP/1.0 200 OK\r\n\r\nom9z", "+-+-+-+", "+-+-+-+ -om9z"};
    for (const std::string& r : replies) {
        SCOPED_TRACE(r);
        EXPECT_EQ(decode(r), STATUS_E_FAIL);
        EXPECT_EQ(std::vector<char>(reply_.begin(), reply_.end() - 1),
                  std::vector<char>(r.begin(), r.end()));
    }
    for (size_t i = 0; i < NEWS_TEXT_SIZE; i++)
        ASSERT_EQ(news_text[i], SENTINEL) << "at " << i;
    EXPECT_EQ(log_contents(), header_only);
}

TEST_F(NewsCodec, EmptyPayloadsSucceedWithEmptyText)
{
    const std::string replies[] = {
        HEADERS + MARKER + "om9z",   // one marker only: the rest is no payload
        HEADERS + MARKER,
        HEADERS + MARKER + MARKER,   // two in a row
        HEADERS + MARKER + MARKER + "om9z" + MARKER,
    };
    for (const std::string& r : replies) {
        SCOPED_TRACE(r);
        log_create();
        memset(news_text, SENTINEL, NEWS_TEXT_SIZE);
        ASSERT_EQ(decode(r), STATUS_S_OK);
        EXPECT_EQ(news_text[0], 0);
        EXPECT_EQ(news_text[1], SENTINEL);
        const std::string log = log_contents();
        ASSERT_GE(log.size(), PASS_LOG.size());
        EXPECT_EQ(log.substr(log.size() - PASS_LOG.size()), PASS_LOG);
    }
}

TEST_F(NewsCodec, MarkerInAHeaderStartsThePayload)
{
    // The payload runs from the header's marker to the body's: "\r\n\r\n" are four bytes
    // outside the alphabet, worth 0 each, so they decode to three zero bytes.
    const std::string reply = "HTTP/1.0 200 OK\r\nX-Tag: " + MARKER + "\r\n\r\nom9z" + MARKER;
    ASSERT_EQ(decode(reply), STATUS_S_OK);
    EXPECT_EQ(std::string(news_text, 7), std::string("\0\0\0abc\0", 7));
}

TEST_F(NewsCodec, OutsideThePayloadTheReplyIsUnchanged)
{
    const std::string before = HEADERS + MARKER;
    const std::string after = MARKER + "trailer +-+-+-+- om9z";
    ASSERT_EQ(decode(before + "om9zu7BW" + after), STATUS_S_OK);
    EXPECT_EQ(std::string(reply_.data(), before.size()), before);
    EXPECT_EQ(std::string(reply_.data() + before.size() + 8), after);
    EXPECT_EQ(decoded_text(), "abcxyz");
}

TEST_F(NewsCodec, LogsBothPassesAfterTheCallersLines)
{
    log_create();
    log_line(LOG_ENCODE_TEXT, 1);
    ASSERT_EQ(decode(HEADERS + MARKER + "om9z" + MARKER), STATUS_S_OK);
    const std::string log = log_contents();
    EXPECT_NE(log.find(std::string(LOG_ENCODE_TEXT) + "\n" + PASS_LOG), std::string::npos) << log;
}

TEST_F(NewsCodec, LongestPayloadOfAFullReplyFits)
{
    // 65,536 bytes of reply: two markers and 65,520 symbols, i.e. 16,380 groups of "abc".
    const size_t symbols = NEWS_REPLY_SIZE - 2 * MARKER.size();
    std::string payload;
    while (payload.size() < symbols)
        payload += "om9z";
    const std::string reply = MARKER + payload + MARKER;
    ASSERT_EQ(reply.size(), NEWS_REPLY_SIZE);
    ASSERT_EQ(decode(reply), STATUS_S_OK);
    const std::string text = decoded_text();
    ASSERT_EQ(text.size(), 49140u);
    for (size_t i = 0; i < text.size(); i++)
        ASSERT_EQ(text[i], "abc"[i % 3]) << "at " << i;
    EXPECT_EQ(news_text[49141], SENTINEL);
}

TEST_F(NewsCodec, OversizedPayloadIsCappedToTheTextBuffer)
{
    // Longer than any reply the fetch keeps: the text is cut, never overrun.
    std::string payload;
    while (payload.size() < 100000)
        payload += "om9z";
    ASSERT_EQ(decode(MARKER + payload + MARKER), STATUS_S_OK);
    EXPECT_EQ(news_text[NEWS_TEXT_SIZE - 1], 0);
    EXPECT_EQ(decoded_text().size(), NEWS_TEXT_SIZE - 1);
}

// ---- encoder ----

std::string encode(const std::string& data)
{
    size_t need = encode_news((const uint8_t*)data.data(), data.size(), nullptr, 0);
    std::vector<char> out(need + 1, SENTINEL);
    size_t again = encode_news((const uint8_t*)data.data(), data.size(), out.data(), out.size());
    EXPECT_EQ(again, need);
    EXPECT_EQ(out[need], 0);
    EXPECT_LE(need, encode_news_bound(data.size()));
    return std::string(out.data(), need);
}

std::string without_cr(const std::string& s)
{
    std::string r;
    for (char c : s)
        if (c != '\r')
            r += c;
    return r;
}

class NewsRoundTrip : public NewsCodec {
protected:
    // Encodes data, checks the body's shape, decodes it and compares with data minus CRs.
    void check_round_trip(const std::string& data)
    {
        const std::string body = encode(data);
        ASSERT_GE(body.size(), 16u);
        EXPECT_EQ(body.substr(0, 8), MARKER);
        EXPECT_EQ(body.substr(body.size() - 8), MARKER);
        const std::string payload = body.substr(8, body.size() - 16);
        EXPECT_EQ(payload.size() % 4, 0u);
        EXPECT_EQ(payload.find_first_not_of(news_alphabet), std::string::npos);

        memset(news_text, SENTINEL, NEWS_TEXT_SIZE);
        ASSERT_EQ(decode(HEADERS + body), STATUS_S_OK);
        const std::string expected = without_cr(data);
        ASSERT_EQ(std::string(news_text, expected.size()), expected);
        EXPECT_EQ(news_text[expected.size()], 0);
        EXPECT_EQ(news_text[expected.size() + 1], SENTINEL);
    }
};

TEST_F(NewsRoundTrip, TrickyByteStrings)
{
    std::string all_bytes;
    for (int i = 0; i < 256; i++)
        all_bytes += (char)i;
    std::string all_bytes_down;
    for (int i = 255; i >= 0; i--)
        all_bytes_down += (char)i;
    std::string high_tail;   // bytes that cannot stand first (>= 0xF8) or last (low bits 62, 63)
    for (int i = 0xF8; i <= 0xFF; i++)
        high_tail += std::string(3, (char)i) + "?>~\x7f";
    const std::string cases[] = {
        "", "a", "ab", "abc", "???", "?", "??", "????????", "~~~>>>", std::string(7, '\x7f'),
        "\r", "\r\r\r", std::string(100, '\r'), "\r\n", "a\r\nb\r\n", "?\r?\r?",
        std::string("\0\0\0\0", 4), "\xff\xff\xff", "\xf8\xfe\xff", "\x03\xe0\x0f\x80",
        "\xff\xef\xbf", all_bytes, all_bytes_down, high_tail,
        "Welcome to Bolvo Quest!\r\nVisit http://www.bolvoquest.example/ today.\r\n",
    };
    for (const std::string& data : cases) {
        SCOPED_TRACE(::testing::PrintToString(data));
        check_round_trip(data);
    }
}

TEST_F(NewsRoundTrip, AllByteTriplesAroundTheFailingPatterns)
{
    // Every triple of bytes drawn from the values that sit on either side of a failing bit
    // pattern, in every position.
    const unsigned char edge[] = {0x00, 0x0D, 0x3D, 0x3E, 0x3F, 0x7E, 0x7F, 0x80, 0xBE, 0xBF,
                                  0xDF, 0xE0, 0xEF, 0xF0, 0xF3, 0xF7, 0xF8, 0xFC, 0xFE, 0xFF};
    std::string data;
    for (unsigned char a : edge)
        for (unsigned char b : edge)
            for (unsigned char c : edge) {
                data += (char)a;
                data += (char)b;
                data += (char)c;
            }
    check_round_trip(data);
}

TEST_F(NewsRoundTrip, RandomStrings)
{
    std::mt19937 rng(12345);
    for (int n = 0; n < 300; n++) {
        std::string data(rng() % 200, '\0');
        for (char& c : data)
            c = (char)(rng() % 4 == 0 ? "\r?\xff~"[rng() % 4] : rng() % 256);
        SCOPED_TRACE(n);
        check_round_trip(data);
        if (HasFatalFailure())
            return;
    }
}

TEST_F(NewsRoundTrip, FillerOnlyWhereNeeded)
{
    struct Case {
        std::string data;
        size_t groups;
    };
    const Case cases[] = {
        {"", 0},
        {"\r\r\r\r", 0},
        {"Hello", 2},               // plain ASCII packs three to a group
        {"abcdef\nghi", 4},
        {"\r\na\r\nb", 2},          // input CRs cost nothing: four bytes, two groups
        {"???", 2},                 // '?' never third: two groups of at most two
        {std::string(6, '\xff'), 6},   // 0xFF fits only in the middle: one per group
        {"\x03\xe0", 1},            // only as 03 CR E0
        {"\xff\x41", 1},            // only as CR FF 41
        {"\x3f\x3f", 1},            // only as ? ? CR
        {"\xf8", 1},                // only as CR F8 CR
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.data));
        EXPECT_EQ(encode(c.data).size(), 16 + 4 * c.groups);
    }
}

TEST_F(NewsRoundTrip, SmallOutputBufferIsNeverOverrun)
{
    const std::string data = "Bolvo ??? \xff\xfe news";
    const std::string full = encode(data);
    for (size_t size = 0; size <= full.size() + 1; size++) {
        std::vector<char> out(size + 8, SENTINEL);
        size_t n = encode_news((const uint8_t*)data.data(), data.size(), out.data(), size);
        EXPECT_EQ(n, full.size());
        if (size > 0) {
            size_t kept = std::min(size - 1, full.size());
            EXPECT_EQ(std::string(out.data(), kept), full.substr(0, kept));
            EXPECT_EQ(out[kept], 0);
        }
        for (size_t i = size; i < out.size(); i++)
            ASSERT_EQ(out[i], SENTINEL) << "size " << size << " wrote at " << i;
    }
}

}  // namespace
