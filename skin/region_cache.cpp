// Writing and reading the groups of the region cache file (see region_cache.h). The reader is a
// small digit parser rather than fscanf so that a file of any content -- huge numbers included --
// is read without undefined behaviour and always comes to an end.
#include "skin/region_cache.h"

#include <string.h>

int format_run_group(const region_run* run, char* out, size_t out_size)
{
    char text[REGION_GROUP_TEXT_SIZE];
    int length = snprintf(text, sizeof text, "%d %d %d %d ", (int)run->left, (int)run->top,
                          (int)run->right, (int)run->row);
    if (length < 0 || (size_t)length >= out_size) {
        if (out_size > 0) {
            out[0] = '\0';
        }
        return -1;
    }
    memcpy(out, text, (size_t)length + 1);
    return length;
}

int32_t write_run_group(FILE* file, const region_run* run)
{
    char text[REGION_GROUP_TEXT_SIZE];
    int length = format_run_group(run, text, sizeof text);
    if (length < 0 || fwrite(text, 1, (size_t)length, file) != (size_t)length) {
        return -1;
    }
    return 0;
}

// The whitespace that a space in a scanf format skips: space, \t, \n, \v, \f, \r.
static int is_space(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

static void skip_space(FILE* file)
{
    int c = fgetc(file);
    while (is_space(c)) {
        c = fgetc(file);
    }
    if (c != EOF) {
        ungetc(c, file);
    }
}

// Reads one number after skipping whitespace. Returns 1 with the value in out, or 0 at end of
// file, on a character that cannot start a number, on a sign without digits, or on a value
// outside -2147483648..2147483647. The digits of an out-of-range number are still consumed.
static int32_t read_number(FILE* file, int32_t* out)
{
    skip_space(file);
    int c = fgetc(file);
    int negative = 0;
    if (c == '-' || c == '+') {
        negative = (c == '-');
        c = fgetc(file);
    }
    if (c < '0' || c > '9') {
        if (c != EOF) {
            ungetc(c, file);
        }
        return 0;
    }
    // The magnitude is gathered as unsigned 64-bit and capped just above the largest allowed
    // value, so no amount of digits can overflow it.
    const uint64_t limit = negative ? 2147483648u : 2147483647u;
    uint64_t magnitude = 0;
    int too_big = 0;
    while (c >= '0' && c <= '9') {
        if (!too_big) {
            magnitude = magnitude * 10 + (uint64_t)(c - '0');
            if (magnitude > limit) {
                too_big = 1;
            }
        }
        c = fgetc(file);
    }
    if (c != EOF) {
        ungetc(c, file);
    }
    if (too_big) {
        return 0;
    }
    if (negative) {
        // -2147483648 has no positive counterpart in 32 bits; build it from 64 bits.
        *out = (int32_t)(-(int64_t)magnitude);
    } else {
        *out = (int32_t)magnitude;
    }
    return 1;
}

// Consumes the rest of the file, which leaves its end-of-file indicator set.
static void skip_to_end(FILE* file)
{
    while (fgetc(file) != EOF) {
    }
}

int32_t read_run_group(FILE* file, region_run* out)
{
    int32_t values[4];
    for (int i = 0; i < 4; ++i) {
        if (!read_number(file, &values[i])) {
            // Whatever follows a group that cannot be read is not trusted either; going to the
            // end also ends a loop that waits for the end-of-file indicator.
            skip_to_end(file);
            return 0;
        }
    }
    // The group's trailing space: whitespace up to the next group or the end of the file.
    skip_space(file);
    out->left = values[0];
    out->top = values[1];
    out->right = values[2];
    out->row = values[3];
    return 1;
}
