// Shared by the news fuzz targets: the decoder logs to "bootlog_pd.txt" in the working
// directory, which would grow by two lines per run. Around each decode the targets step into
// a temporary directory in which that name is taken by a directory, so every log open fails
// and is skipped (which is also the path the launcher takes when the log cannot be written).
// They step back right after, so corpus and crash files stay where libFuzzer was started.
// The temporary directory is removed when the fuzzer exits normally.
#ifndef BOLVO_TESTS_FUZZ_NEWS_LOG_DIR_H
#define BOLVO_TESTS_FUZZ_NEWS_LOG_DIR_H

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

static char fuzz_log_dir[] = "/tmp/bolvo-news-fuzz-XXXXXX";
static int fuzz_log_dir_fd = -1;
static int fuzz_start_dir_fd = -1;

static void fuzz_log_dir_remove()
{
    char log_path[sizeof fuzz_log_dir + 16];
    snprintf(log_path, sizeof log_path, "%s/bootlog_pd.txt", fuzz_log_dir);
    rmdir(log_path);
    rmdir(fuzz_log_dir);
}

static void fuzz_log_dir_setup()
{
    char log_path[sizeof fuzz_log_dir + 16];
    if (mkdtemp(fuzz_log_dir) == NULL) {
        perror("fuzz log directory");
        abort();
    }
    snprintf(log_path, sizeof log_path, "%s/bootlog_pd.txt", fuzz_log_dir);
    fuzz_log_dir_fd = open(fuzz_log_dir, O_RDONLY | O_DIRECTORY);
    fuzz_start_dir_fd = open(".", O_RDONLY | O_DIRECTORY);
    if (mkdir(log_path, 0700) != 0 || fuzz_log_dir_fd < 0 || fuzz_start_dir_fd < 0) {
        perror("fuzz log directory");
        abort();
    }
    atexit(fuzz_log_dir_remove);
}

static void fuzz_log_dir_enter()
{
    if (fchdir(fuzz_log_dir_fd) != 0)
        abort();
}

static void fuzz_log_dir_leave()
{
    if (fchdir(fuzz_start_dir_fd) != 0)
        abort();
}

#endif
