// Stands in for the browser in the end-to-end tests: registered as the shell's handler for web
// links and HTML files, it appends what it was asked to open to a log file.
//   recorder LOGFILE TARGET
#include <windows.h>
#include <stdio.h>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    FILE* log = fopen(argv[1], "a");
    if (log == NULL)
        return 1;
    fprintf(log, "%s\n", argv[2]);
    fclose(log);
    return 0;
}
