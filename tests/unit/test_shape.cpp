// shape_window on a real window: the region it sets, and the cache file it reads or writes, in
// a temporary working directory.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string>

#include "launcher/launcher.h"
#include "skin/pages.h"
#include "skin/shape.h"
#include "unit_support.h"

static std::string read_file(const char* name)
{
    std::string text;
    read_whole_file(name, &text);
    return text;
}

static void write_file(const char* name, const char* text)
{
    FILE* file = fopen(name, "wb");
    ASSERT_NE(file, (FILE*)NULL);
    fputs(text, file);
    fclose(file);
}

class shape : public ::testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryA(sizeof(previous_directory), previous_directory);
        char base[MAX_PATH];
        GetTempPathA(sizeof(base), base);
        snprintf(directory, sizeof(directory), "%sbolvo-shape-%lu", base, GetTickCount());
        CreateDirectoryA(directory, NULL);
        ASSERT_TRUE(SetCurrentDirectoryA(directory));
        window = make_launcher_window();
    }
    void TearDown() override
    {
        drop_launcher_window();
        DeleteFileA("qmkx.dat");
        RemoveDirectoryA("qmkx.dat");
        DeleteFileA("qmkx.dat.tmp");
        SetCurrentDirectoryA(previous_directory);
        RemoveDirectoryA(directory);
    }
    // The window's region, as a copy that the test owns.
    HRGN window_region()
    {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        EXPECT_NE(GetWindowRgn(window, region), ERROR) << "the window has no region";
        return region;
    }
    char previous_directory[MAX_PATH];
    char directory[MAX_PATH];
    HWND window;
};

#define expect_inside(region, x, y, inside) \
    EXPECT_EQ(PtInRegion(region, x, y) != 0, inside) << "point (" << (x) << ", " << (y) << ")"

TEST_F(shape, first_start_scans_the_full_rectangle_and_writes_the_cache)
{
    ASSERT_EQ(shape_window(window, GetModuleHandleA(NULL)), S_OK);
    HRGN region = window_region();
    RECT box;
    GetRgnBox(region, &box);
    // No pixel of the surround reads back as the key colour at this depth: the whole window.
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 533);
    EXPECT_EQ(box.bottom, 488);
    expect_inside(region, 0, 0, true);
    expect_inside(region, 532, 487, true);
    DeleteObject(region);

    std::string cache = read_file("qmkx.dat");
    EXPECT_EQ(cache.size(), 6612u);
    EXPECT_EQ(cache.compare(0, 20, "0 0 533 0 0 1 533 1 "), 0) << cache.substr(0, 40);
    EXPECT_EQ(cache.substr(cache.size() - 14), "0 487 533 487 ");
    EXPECT_EQ(GetFileAttributesA("qmkx.dat.tmp"), INVALID_FILE_ATTRIBUTES)
        << "the temporary file is renamed into place";
    EXPECT_GT(pages[PAGE_MAIN].picture_count, 0u) << "the skin is built at the end";
}

TEST_F(shape, a_cache_file_is_used_as_found)
{
    struct {
        const char* text;
        int32_t last_x;  // the run on row 0 reaches up to here, -1 for none
    } cases[] = {
        {"0 0 10 0 ", 9},
        {"0\n0\n10\n0", 9},          // line breaks, no trailing space
        {"0 0 10 0 5 0 20", 9},      // a truncated last group ends the reading
        {"0 0 10 0 garbage 1 2 3 4 ", 9},
        {"", -1},                    // an empty file: the inner rectangle alone
        {"0 0 533 0\t", 532},
    };
    for (const auto& c : cases) {
        write_file("qmkx.dat", c.text);
        ASSERT_EQ(shape_window(window, GetModuleHandleA(NULL)), S_OK) << c.text;
        HRGN region = window_region();
        // The inner rectangle is always there, whatever the file says.
        expect_inside(region, 23, 35, true);
        expect_inside(region, 477, 484, true);
        expect_inside(region, 478, 484, false);
        expect_inside(region, 477, 485, false);
        expect_inside(region, 22, 100, false);
        if (c.last_x >= 0) {
            expect_inside(region, 0, 0, true);
            expect_inside(region, c.last_x, 0, true);
        }
        expect_inside(region, c.last_x + 1, 0, false);
        expect_inside(region, 0, 1, false);
        DeleteObject(region);
        EXPECT_EQ(read_file("qmkx.dat"), c.text) << "an existing cache is never rewritten";
    }
}

TEST_F(shape, without_a_usable_cache_the_scan_still_shapes_the_window)
{
    // A directory of that name makes opening the cache fail, for reading and for replacing.
    ASSERT_TRUE(CreateDirectoryA("qmkx.dat", NULL));
    ASSERT_EQ(shape_window(window, GetModuleHandleA(NULL)), S_OK);
    HRGN region = window_region();
    expect_inside(region, 0, 0, true);
    expect_inside(region, 532, 487, true);
    DeleteObject(region);
    EXPECT_EQ(GetFileAttributesA("qmkx.dat.tmp"), INVALID_FILE_ATTRIBUTES)
        << "no temporary file is left behind";
    EXPECT_NE(GetFileAttributesA("qmkx.dat") & FILE_ATTRIBUTE_DIRECTORY, 0u);
}
