// Tests of the region cache text: the group format, the reader on everything a cache file may
// hold (line breaks, tabs, a missing last space, a cut-off group, garbage, huge numbers, an
// empty file), and the scan's text read back into the same runs.
#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <utility>
#include <vector>

#include "skin/region_cache.h"
#include "skin/region_runs.h"

namespace {

// A temporary file holding text, positioned at its start.
FILE* file_with(const std::string& text)
{
    FILE* file = tmpfile();
    if (file == nullptr) {
        return nullptr;
    }
    if (!text.empty() && fwrite(text.data(), 1, text.size(), file) != text.size()) {
        fclose(file);
        return nullptr;
    }
    rewind(file);
    return file;
}

std::string contents_of(FILE* file)
{
    std::string text;
    rewind(file);
    int c;
    while ((c = fgetc(file)) != EOF) {
        text.push_back(static_cast<char>(c));
    }
    return text;
}

struct group {
    int32_t left, top, right, row;
    bool operator==(const group& other) const
    {
        return left == other.left && top == other.top && right == other.right &&
               row == other.row;
    }
};

std::ostream& operator<<(std::ostream& out, const group& g)
{
    return out << "{" << g.left << " " << g.top << " " << g.right << " " << g.row << "}";
}

// Reads groups until the reader says stop, checking that each group consumed input and that
// the reader stays stopped once it has stopped.
std::vector<group> read_all(const std::string& text)
{
    std::vector<group> groups;
    FILE* file = file_with(text);
    EXPECT_NE(nullptr, file);
    if (file == nullptr) {
        return groups;
    }
    region_run run;
    long before = ftell(file);
    while (read_run_group(file, &run)) {
        long after = ftell(file);
        EXPECT_GT(after, before) << "a group came back without consuming input";
        if (after <= before || groups.size() > text.size()) {
            break;
        }
        before = after;
        groups.push_back({run.left, run.top, run.right, run.row});
    }
    EXPECT_NE(0, feof(file)) << "stopped before the end of the file";
    region_run untouched = {7, 7, 7, 7};
    EXPECT_EQ(0, read_run_group(file, &untouched)) << "reader started again after stopping";
    EXPECT_EQ(7, untouched.left) << "out written although no group was read";
    fclose(file);
    return groups;
}

uint32_t read_pixel_of(void* context, int32_t x, int32_t y)
{
    const std::vector<std::pair<int32_t, int32_t>>* keys =
        static_cast<const std::vector<std::pair<int32_t, int32_t>>*>(context);
    for (const auto& p : *keys) {
        if (p.first == x && p.second == y) {
            return KEY_COLOUR;
        }
    }
    return 0x00818181u;
}

struct scan_output {
    FILE* file;
    std::vector<group> runs;
};

int32_t write_and_keep_run(void* context, const region_run* run)
{
    scan_output* output = static_cast<scan_output*>(context);
    output->runs.push_back({run->left, run->top, run->right, run->row});
    return write_run_group(output->file, run);
}

// Scans a bitmap with the given key pixels, writing the groups into a file as the launcher
// does; returns the file's text and the runs.
std::pair<std::string, std::vector<group>> scan_to_text(
    std::vector<std::pair<int32_t, int32_t>> keys)
{
    scan_output output;
    output.file = tmpfile();
    EXPECT_NE(nullptr, output.file);
    if (output.file == nullptr) {
        return {};
    }
    EXPECT_EQ(0, scan_region_runs(REGION_SCAN_WIDTH, REGION_SCAN_HEIGHT, read_pixel_of, &keys,
                                  write_and_keep_run, &output));
    std::string text = contents_of(output.file);
    fclose(output.file);
    return {text, output.runs};
}

TEST(FormatRunGroup, WritesFourNumbersEachFollowedByOneSpace)
{
    struct {
        region_run run;
        const char* expected;
    } cases[] = {
        {{0, 0, 533, 0}, "0 0 533 0 "},
        {{478, 100, 478, 100}, "478 100 478 100 "},
        {{-1, -2147483647 - 1, 2147483647, 0}, "-1 -2147483648 2147483647 0 "},
        {{-2147483647 - 1, -2147483647 - 1, -2147483647 - 1, -2147483647 - 1},
         "-2147483648 -2147483648 -2147483648 -2147483648 "},
    };
    for (const auto& c : cases) {
        char out[REGION_GROUP_TEXT_SIZE];
        memset(out, 'x', sizeof out);
        EXPECT_EQ(static_cast<int>(strlen(c.expected)), format_run_group(&c.run, out, sizeof out));
        EXPECT_STREQ(c.expected, out);
    }
}

TEST(FormatRunGroup, RefusesABufferThatIsTooSmall)
{
    const region_run run = {0, 0, 533, 0};  // "0 0 533 0 " is 10 characters
    char out[16];
    memset(out, 'x', sizeof out);
    EXPECT_EQ(10, format_run_group(&run, out, 11));
    EXPECT_STREQ("0 0 533 0 ", out);
    memset(out, 'x', sizeof out);
    EXPECT_EQ(-1, format_run_group(&run, out, 10));
    EXPECT_STREQ("", out);
    memset(out, 'x', sizeof out);
    EXPECT_EQ(-1, format_run_group(&run, out, 0));
    EXPECT_EQ('x', out[0]);
}

TEST(WriteRunGroup, AppendsExactlyTheFormattedGroup)
{
    FILE* file = tmpfile();
    ASSERT_NE(nullptr, file);
    const region_run first = {0, 0, 10, 0};
    const region_run second = {-3, 4, 5, 4};
    EXPECT_EQ(0, write_run_group(file, &first));
    EXPECT_EQ(0, write_run_group(file, &second));
    EXPECT_EQ("0 0 10 0 -3 4 5 4 ", contents_of(file));
    fclose(file);
}

TEST(ReadRunGroup, ReadsWhatTheGroupFormatReads)
{
    const int32_t MIN = -2147483647 - 1;
    struct {
        const char* what;
        std::string text;
        std::vector<group> expected;
    } cases[] = {
        {"one group as written", "0 0 10 0 ", {{0, 0, 10, 0}}},
        {"no trailing space", "0 0 10 0", {{0, 0, 10, 0}}},
        {"two groups", "0 0 533 0 0 1 533 1 ", {{0, 0, 533, 0}, {0, 1, 533, 1}}},
        {"groups on lines", "0 0 533 0\n0 1 533 1\n", {{0, 0, 533, 0}, {0, 1, 533, 1}}},
        {"line breaks between every number", "0\n0\n533\n0\n\n0\n1\n533\n1",
         {{0, 0, 533, 0}, {0, 1, 533, 1}}},
        {"tabs, CR LF, vertical tab and form feed", "\t0\t0 10\r\n0\v\f 5 6 7 8\r\n",
         {{0, 0, 10, 0}, {5, 6, 7, 8}}},
        {"leading whitespace", "   \n 1 2 3 4 ", {{1, 2, 3, 4}}},
        {"signs", "+5 -3 7 -0 ", {{5, -3, 7, 0}}},
        {"a sign ends the number before it", "1-2 3 4 ", {{1, -2, 3, 4}}},
        {"zero-width group", "478 100 478 100 ", {{478, 100, 478, 100}}},
        {"32-bit limits", "2147483647 -2147483648 0 0 ", {{2147483647, MIN, 0, 0}}},
        {"leading zeros are not an overflow", "0000000000000000000012 1 2 3 ", {{12, 1, 2, 3}}},
        {"empty file", "", {}},
        {"only whitespace", " \n\t \r\n", {}},
        {"truncated last group", "0 0 10 0 1 1 5", {{0, 0, 10, 0}}},
        {"truncated last group ending in a space", "0 0 10 0 1 1 5 ", {{0, 0, 10, 0}}},
        {"group of one number", "7", {}},
        {"garbage", "abc", {}},
        {"garbage after a group", "0 0 10 0 x 1 2 3 4 ", {{0, 0, 10, 0}}},
        {"garbage right after the fourth number", "1 2 3 4abc", {{1, 2, 3, 4}}},
        {"garbage inside a group", "1 2 x 4 5 6 7 8 ", {}},
        {"sign without digits", "- 1 2 3 4 ", {}},
        {"sign at the end", "1 2 3 -", {}},
        {"lone plus", "+", {}},
        {"decimal point", "1.5 2 3 4 ", {}},
        {"NUL byte", std::string("1 2 3 4 \0 5 6 7 8 ", 18), {{1, 2, 3, 4}}},
        {"one above the largest", "2147483648 0 0 0 ", {}},
        {"one below the smallest", "0 -2147483649 0 0 ", {}},
        {"far too many digits", "99999999999999999999999999 0 0 0 ", {}},
        {"overflow ends the reading", "0 0 10 0 1 1 4294967296 1 2 2 3 2 ", {{0, 0, 10, 0}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, read_all(c.text)) << c.what;
    }
}

TEST(ReadRunGroup, LastGroupReachesTheEndOfTheFile)
{
    // A loop that reads until the end-of-file indicator is set must see each group once, so
    // the last group's trailing whitespace is consumed with it and the indicator is set then.
    struct {
        const char* text;
        int groups;
    } cases[] = {
        {"0 0 10 0 ", 1},    {"0 0 10 0", 1},          {"0 0 10 0\n", 1},
        {"0 0 10 0 \r\n\t ", 1}, {"1 1 2 1 0 0 10 0 \n", 2},
    };
    for (const auto& c : cases) {
        FILE* file = file_with(c.text);
        ASSERT_NE(nullptr, file);
        region_run run;
        for (int i = 0; i < c.groups; ++i) {
            EXPECT_EQ(0, feof(file)) << c.text;
            ASSERT_EQ(1, read_run_group(file, &run)) << c.text;
        }
        EXPECT_NE(0, feof(file)) << c.text;
        EXPECT_EQ(0, run.left) << c.text;
        EXPECT_EQ(10, run.right) << c.text;
        fclose(file);
    }
}

TEST(RegionCacheText, FullRectangleScanIs488GroupsIn6612Bytes)
{
    std::pair<std::string, std::vector<group>> scan = scan_to_text({});
    const std::string& text = scan.first;
    EXPECT_EQ(6612u, text.size());
    EXPECT_EQ(0u, text.find("0 0 533 0 0 1 533 1 "));
    const std::string tail = "0 487 533 487 ";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(tail, text.substr(text.size() - tail.size()));
    EXPECT_EQ(std::string::npos, text.find('\n'));

    std::vector<group> read_back = read_all(text);
    ASSERT_EQ(488u, read_back.size());
    for (int32_t y = 0; y < 488; ++y) {
        EXPECT_EQ((group{0, y, 533, y}), read_back[static_cast<size_t>(y)]);
    }
}

TEST(RegionCacheText, ScannedShapesReadBackAsTheSameRuns)
{
    const std::vector<std::pair<int32_t, int32_t>> layouts[] = {
        {{477, 100}, {478, 100}},
        {{0, 0}, {532, 0}, {10, 10}, {11, 10}, {399, 200}, {100, 485}, {101, 485}, {532, 487}},
    };
    for (const auto& layout : layouts) {
        std::pair<std::string, std::vector<group>> scan = scan_to_text(layout);
        ASSERT_FALSE(scan.second.empty());
        EXPECT_EQ(scan.second, read_all(scan.first));

        // The same groups on separate lines and without the last space read the same.
        std::string lines = scan.first;
        for (size_t i = 0, groups = 0; i < lines.size(); ++i) {
            if (lines[i] == ' ' && ++groups % 4 == 0) {
                lines[i] = '\n';
            }
        }
        EXPECT_EQ(scan.second, read_all(lines));
        EXPECT_EQ(scan.second, read_all(scan.first.substr(0, scan.first.size() - 1)));
    }
}

TEST(RegionCacheText, ZeroWidthGroupOfTheScanIsInTheText)
{
    std::pair<std::string, std::vector<group>> scan = scan_to_text({{477, 100}, {478, 100}});
    EXPECT_NE(std::string::npos,
              scan.first.find("0 100 477 100 478 100 478 100 479 100 533 100 "));
}

}  // namespace
