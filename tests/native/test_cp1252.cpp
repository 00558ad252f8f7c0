// Tests of the UTF-8 to Windows-1252 conversion of the news packing tool: the 0x80..0x9F
// block, refusal of characters the code page lacks with line and column, malformed UTF-8,
// the byte order mark and a full output buffer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "news/cp1252.h"

namespace {

struct Converted {
    int32_t status;
    std::string text;
    cp1252_error error;
};

Converted convert(const std::string& in, size_t out_size = 1024)
{
    Converted r;
    std::vector<char> out(out_size + 1, '#');
    size_t len = 12345;
    r.status = utf8_to_cp1252(in.data(), in.size(), out.data(), out_size, &len, &r.error);
    if (r.status == CP1252_OK) {
        EXPECT_LE(len, out_size);
        r.text.assign(out.data(), len);
    }
    EXPECT_EQ(out[out_size], '#') << "wrote past the buffer";
    return r;
}

std::string describe(const cp1252_error& e)
{
    char text[256];
    cp1252_describe_error(&e, text, sizeof text);
    return text;
}

TEST(Cp1252, ConvertsWhatTheCodePageHolds)
{
    struct Case {
        const char* utf8;
        const char* cp1252;
    };
    const Case cases[] = {
        {"Bolvo Quest\r\n\tnews", "Bolvo Quest\r\n\tnews"},
        {"caf\xC3\xA9 na\xC3\xAFve \xC3\xBF", "caf\xE9 na\xEFve \xFF"},   // é ï ÿ
        {"\xC2\xA0\xC2\xA9\xC2\xBF", "\xA0\xA9\xBF"},                    // nbsp © ¿
        {"\xE2\x82\xAC", "\x80"},                                        // €
        {"\xE2\x80\x9A\xC6\x92\xE2\x80\x9E\xE2\x80\xA6", "\x82\x83\x84\x85"},   // ‚ ƒ „ …
        {"\xE2\x80\x98\xE2\x80\x99\xE2\x80\x9C\xE2\x80\x9D", "\x91\x92\x93\x94"}, // ' ' " "
        {"\xE2\x80\x93\xE2\x80\x94\xE2\x84\xA2", "\x96\x97\x99"},        // – — ™
        {"\xC5\xA0\xC5\x92\xC5\xBD\xC5\xB8", "\x8A\x8C\x8E\x9F"},        // Š Œ Ž Ÿ
        {"\xEF\xBB\xBFhi", "hi"},                                         // BOM skipped
        {"a\xEF\xBB\xBF", nullptr},                                       // only at the start
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        Converted r = convert(c.utf8);
        if (c.cp1252 == nullptr) {
            EXPECT_EQ(r.status, CP1252_UNMAPPABLE);
            continue;
        }
        ASSERT_EQ(r.status, CP1252_OK) << describe(r.error);
        EXPECT_EQ(r.text, c.cp1252);
    }
}

TEST(Cp1252, EveryByteOfTheCodePageMapsBack)
{
    int assigned = 0;
    for (uint32_t cp = 0; cp < 0x10000; cp++) {
        int32_t b = cp1252_from_code_point(cp);
        if (b < 0)
            continue;
        ASSERT_LT(b, 256);
        assigned++;
        if (cp >= 0x80 && cp < 0xA0)
            ADD_FAILURE() << "C1 control accepted: " << cp;
    }
    EXPECT_EQ(assigned, 256 - 32 + 27);   // 0x80..0x9F: 27 assigned, 5 unassigned
}

TEST(Cp1252, RefusesCharactersItCannotHoldNamingLineAndCharacter)
{
    struct Case {
        std::string utf8;
        uint32_t line;
        uint32_t column;
        uint32_t code_point;
        const char* message;
    };
    const Case cases[] = {
        {"News\nfor \xE4\xB8\xAD today\n", 2, 5, 0x4E2D,
         "line 2, column 5: character U+4E2D '\xE4\xB8\xAD' cannot be written in Windows-1252"},
        {"a\nb\n\nd \xF0\x9F\x98\x80", 4, 3, 0x1F600, nullptr},   // emoji
        {"\xC4\x80", 1, 1, 0x100, nullptr},                         // Ā, just past Latin-1
        {"ok \xC2\x81", 1, 4, 0x81,
         "line 1, column 4: character U+0081 cannot be written in Windows-1252"},
        {"x\xE2\x80\xA8", 1, 2, 0x2028, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        Converted r = convert(c.utf8);
        ASSERT_EQ(r.status, CP1252_UNMAPPABLE);
        EXPECT_EQ(r.error.line, c.line);
        EXPECT_EQ(r.error.column, c.column);
        EXPECT_EQ(r.error.code_point, c.code_point);
        if (c.message != nullptr)
            EXPECT_EQ(describe(r.error), c.message);
    }
}

TEST(Cp1252, RefusesMalformedUtf8)
{
    const std::string cases[] = {
        "\x80",                  // stray continuation byte
        "ab\xC3",                // truncated at the end
        "\xC3(",                 // bad continuation
        "\xC0\x80",              // overlong NUL
        "\xE0\x80\xAF",          // overlong '/'
        "\xED\xA0\x80",          // surrogate
        "\xF4\x90\x80\x80",      // beyond U+10FFFF
        "\xFF",
    };
    for (const std::string& s : cases) {
        SCOPED_TRACE(::testing::PrintToString(s));
        Converted r = convert("line one\n" + s);
        ASSERT_EQ(r.status, CP1252_BAD_UTF8);
        EXPECT_EQ(r.error.line, 2u);
        EXPECT_EQ(describe(r.error).substr(0, 7), "line 2,");
    }
}

TEST(Cp1252, FullOutputBufferIsReported)
{
    EXPECT_EQ(convert("abc", 3).status, CP1252_OK);
    Converted r = convert("abcd", 3);
    EXPECT_EQ(r.status, CP1252_NO_ROOM);
    EXPECT_EQ(convert("", 0).status, CP1252_OK);
}

}  // namespace
