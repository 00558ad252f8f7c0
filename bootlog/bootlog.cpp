// The boot log file of the latest news fetch; see bootlog.h. Plain stdio, no Win32 calls.
#include "bootlog/bootlog.h"

#include <stdio.h>

const log_message log_messages[LOG_MESSAGE_COUNT] = {
    {1, LOG_HEADER_RULE, 1},
    {2, LOG_HEADER_LEGACY, 1},
    {3, LOG_HEADER_NOTICE, 1},
    {4, LOG_HEADER_RULE, 1},
    {5, LOG_START, 1},
    {6, LOG_START_GET_PROXY, 1},
    {7, LOG_REG_OPEN_OK, 1},
    {8, LOG_FMT_PROXY_ENABLE, 1},
    {9, LOG_FMT_PROXY_SERVER, 1},
    {10, LOG_FMT_PROXY_START, 1},
    {11, LOG_FMT_PROXY_HOST, 1},
    {12, LOG_FMT_PROXY_PORT, 1},
    {13, LOG_GET_PROXY_DONE, 1},
    {14, LOG_FMT_PROXY_IP, 1},
    {15, LOG_NO_PROXY, 1},
    {16, LOG_CONNECT_DONE, 1},
    {17, LOG_SEND_DONE, 1},
    {18, LOG_DATA_BLOCK_START, 1},
    {19, LOG_FMT_RECEIVED_BYTE, 0},
    {20, LOG_DATA_BLOCK_END, 1},
    {21, LOG_RECEIVE_DONE, 1},
    {22, LOG_ENCODE_TEXT, 1},
    {23, LOG_DECODE_PASS_1, 1},
    {24, LOG_DECODE_PASS_2, 1},
    {25, LOG_DONE, 1},
    {26, LOG_CLOSING, 1},
};

void log_create()
{
    FILE* file = fopen(LOG_FILE_NAME, "w");
    if (file == NULL)
        return;
    fprintf(file, "%s\n", LOG_HEADER_RULE);
    fprintf(file, "%s\n", LOG_HEADER_LEGACY);
    fprintf(file, "%s\n", LOG_HEADER_NOTICE);
    fprintf(file, "%s\n", LOG_HEADER_RULE);
    fclose(file);
}

void log_line(const char* text, int end_line)
{
    FILE* file = fopen(LOG_FILE_NAME, "a");
    if (file == NULL)
        return;
    if (end_line != 0)
        fprintf(file, "%s\n", text);
    else
        fprintf(file, "%s", text);
    fclose(file);
}

void log_received_bytes(const char* data, size_t length)
{
    FILE* file = fopen(LOG_FILE_NAME, "a");
    if (file == NULL)
        return;
    for (size_t i = 0; i < length; i++) {
        if (data[i] != '\0')
            fputc((unsigned char)data[i], file);
    }
    fclose(file);
}

void log_close()
{
}
