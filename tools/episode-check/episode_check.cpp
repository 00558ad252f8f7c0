// episode-check: tells an episode maker whether a module would work in the launcher. It loads
// the module the way the launcher does (LoadLibraryA), looks for the two row images and the
// MAIN export, and prints one line for each:
//
//   module: loaded C:\game\chaptr3.dll
//   DLL_ACT: ok, 400 x 40
//   DLL_DIS: warning, 300 x 30; the launcher shows 400 x 40 from its top-left corner
//   MAIN: ok, exported
//   result: ok with warnings
//
// Exit status: 0 when the launcher could use the module (warnings allowed), 1 when it could
// not, 2 on wrong usage. MAIN is looked up, never called.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "bolvo_episode.h"

enum {
    EXIT_WORKS = 0,
    EXIT_BROKEN = 1,
    EXIT_USAGE = 2,
};

struct CheckTally {
    int errors;
    int warnings;
};

static void report_load_error(const char* name)
{
    DWORD error = GetLastError();
    char text[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0,
                   text, sizeof(text), NULL);
    // The system's text ends in a line break.
    size_t length = strlen(text);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r'))
        text[--length] = '\0';
    printf("module: error, cannot load %s (error %lu%s%s)\n", name, (unsigned long)error,
           length > 0 ? ": " : "", text);
    if (error == ERROR_BAD_EXE_FORMAT)
        printf("module: hint, the launcher is a 64-bit program and loads only 64-bit modules\n");
}

// The file name part of a path.
static const char* file_part(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p != '\0'; p++) {
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    }
    return name;
}

// The launcher loads only chaptr1.dll ... chaptr5.dll.
static int launcher_file_name(const char* name)
{
    return strlen(name) == 11 && _strnicmp(name, "chaptr", 6) == 0 && name[6] >= '1' &&
           name[6] <= '5' && _stricmp(name + 7, ".dll") == 0;
}

static void check_image(HMODULE module, const char* name, CheckTally* tally)
{
    HBITMAP bitmap = LoadBitmapA(module, name);
    if (bitmap == NULL) {
        printf("%s: error, missing (a bitmap resource with the string name \"%s\" is needed)\n",
               name, name);
        tally->errors++;
        return;
    }
    BITMAP info = {};
    GetObjectA(bitmap, sizeof(info), &info);
    DeleteObject(bitmap);
    if (info.bmWidth == BOLVO_EPISODE_IMAGE_WIDTH && info.bmHeight == BOLVO_EPISODE_IMAGE_HEIGHT) {
        printf("%s: ok, %ld x %ld\n", name, (long)info.bmWidth, (long)info.bmHeight);
        return;
    }
    printf("%s: warning, %ld x %ld; the launcher shows %d x %d from its top-left corner\n", name,
           (long)info.bmWidth, (long)info.bmHeight, BOLVO_EPISODE_IMAGE_WIDTH,
           BOLVO_EPISODE_IMAGE_HEIGHT);
    tally->warnings++;
}

static void check_entry(HMODULE module, CheckTally* tally)
{
    if (GetProcAddress(module, BOLVO_EPISODE_ENTRY_NAME) != NULL) {
        printf("MAIN: ok, exported\n");
        return;
    }
    tally->errors++;
    // The usual ways a C++ or 32-bit build decorates the name.
    static const char* const DECORATED[] = {"_MAIN", "MAIN@0", "_MAIN@0", "_Z4MAINv", "?MAIN@@YAHXZ"};
    for (size_t i = 0; i < sizeof(DECORATED) / sizeof(DECORATED[0]); i++) {
        if (GetProcAddress(module, DECORATED[i]) != NULL) {
            printf("MAIN: error, missing; found the decorated name %s (declare it "
                   "extern \"C\" __declspec(dllexport) int MAIN(void))\n",
                   DECORATED[i]);
            return;
        }
    }
    printf("MAIN: error, missing (export int MAIN(void) under exactly that name)\n");
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: episode-check MODULE.dll\n"
                        "Checks that an episode module has what the launcher needs.\n");
        return EXIT_USAGE;
    }
    const char* name = argv[1];
    // The module's own start-up code runs here, as it would in the launcher; keep the system's
    // error boxes out of the way.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // A file that exists is loaded by its full path: a bare name would find a module of that
    // name beside this tool first, which is not the one asked about.
    char full_path[MAX_PATH] = "";
    if (GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES &&
        GetFullPathNameA(name, sizeof(full_path), full_path, NULL) > 0)
        name = full_path;
    HMODULE module = LoadLibraryA(name);
    if (module == NULL) {
        report_load_error(name);
        printf("result: broken\n");
        return EXIT_BROKEN;
    }
    CheckTally tally = {};
    char path[MAX_PATH] = "";
    GetModuleFileNameA(module, path, sizeof(path));
    printf("module: loaded %s\n", path);
    if (!launcher_file_name(file_part(path))) {
        printf("module: warning, the launcher loads only chaptr1.dll ... chaptr5.dll; rename it\n");
        tally.warnings++;
    }
    check_image(module, BOLVO_EPISODE_ACT_IMAGE, &tally);
    check_image(module, BOLVO_EPISODE_DIS_IMAGE, &tally);
    check_entry(module, &tally);
    FreeLibrary(module);

    if (tally.errors > 0) {
        printf("result: broken\n");
        return EXIT_BROKEN;
    }
    printf(tally.warnings > 0 ? "result: ok with warnings\n" : "result: ok\n");
    return EXIT_WORKS;
}
