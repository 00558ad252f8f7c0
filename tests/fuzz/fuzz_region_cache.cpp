// Fuzzes the region cache reader: any file content must be read without undefined behaviour,
// every group returned must have consumed input, the reading must end, and each group read
// must survive being written out and read back unchanged.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "skin/region_cache.h"

// Writes run as a group and reads it back; the two must match.
static void check_round_trip(const region_run* run)
{
    char text[REGION_GROUP_TEXT_SIZE];
    int length = format_run_group(run, text, sizeof text);
    if (length <= 0) {
        abort();
    }
    FILE* file = fmemopen(text, (size_t)length, "r");
    if (file == NULL) {
        return;
    }
    region_run back;
    if (read_run_group(file, &back) != 1 || back.left != run->left || back.top != run->top ||
        back.right != run->right || back.row != run->row) {
        abort();
    }
    if (read_run_group(file, &back) != 0) {
        abort();
    }
    fclose(file);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) {
        return 0;  // fmemopen cannot open an empty buffer
    }
    // fmemopen wants a writable buffer even for reading.
    char* copy = (char*)malloc(size);
    if (copy == NULL) {
        return 0;
    }
    memcpy(copy, data, size);
    FILE* file = fmemopen(copy, size, "r");
    if (file == NULL) {
        free(copy);
        return 0;
    }
    region_run run;
    long before = ftell(file);
    size_t groups = 0;
    while (read_run_group(file, &run)) {
        long after = ftell(file);
        // A group needs at least one digit per number; one that took no input would loop forever.
        if (after < before + 4) {
            abort();
        }
        before = after;
        if (++groups > size) {
            abort();
        }
        check_round_trip(&run);
    }
    // Once stopped the reader is at the end and stays stopped.
    if (!feof(file) || read_run_group(file, &run) != 0) {
        abort();
    }
    fclose(file);
    free(copy);
    return 0;
}
