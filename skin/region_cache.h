// The region cache file: the window's runs as text, so that only the first start in a working
// directory has to scan the bitmap. Each run is one group "left top right row " -- four signed
// decimal numbers, each followed by one space -- with no header, count or line breaks.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include "skin/region_runs.h"

// The cache file, opened in the working directory.
#define REGION_CACHE_FILE "qmkx.dat"

enum {
    // Room for the longest group, "-2147483648 " four times, and its terminating zero.
    REGION_GROUP_TEXT_SIZE = 4 * 12 + 1,
};

// Writes the group of run into out as "%d %d %d %d " (left, top, right, row) with a
// terminating zero. Returns the group's length without the zero, or -1 when out_size is too
// small (out then holds an empty string if out_size > 0).
int format_run_group(const region_run* run, char* out, size_t out_size);

// Appends the group of run to file. Returns 0, or -1 when the write failed.
int32_t write_run_group(FILE* file, const region_run* run);

// Reads the next group from file the way "%d %d %d %d " reads it: any whitespace before and
// after each number, an optional sign, then decimal digits; a number ends at the first
// character that is not a digit. Returns 1 with the group in out, or 0 when reading has to end:
// end of file, a last group cut short, text that is not a number, or a number outside the
// signed 32-bit range (rejected, never wrapped or clamped). out is written only when 1 is
// returned. Every call that returns 1 has consumed input; a call that returns 0 has consumed the
// rest of the file and left its end-of-file indicator set, so later calls return 0 as well and
// both a loop until 0 and a loop until feof() end.
int32_t read_run_group(FILE* file, region_run* out);
