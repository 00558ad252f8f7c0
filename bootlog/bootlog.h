// The boot log: a plain-text file "bootlog_pd.txt" in the working directory that records the
// latest news fetch. Every operation opens the file, writes and closes it again, so each
// message is on disk when the call returns and no file stays open between calls. The file is
// written in text mode (on Windows every "\n" is stored as CR LF). A file that cannot be
// created or opened is skipped silently: the fetch goes on the same way without its log.
//
// Callers format their message first (snprintf into a buffer of LOG_MESSAGE_MAX bytes) with the
// texts and formats named below and hand the finished text to log_line.
#ifndef BOLVO_BOOTLOG_BOOTLOG_H
#define BOLVO_BOOTLOG_BOOTLOG_H

#include <stddef.h>
#include <stdint.h>

// File name, relative to the working directory.
constexpr char LOG_FILE_NAME[] = "bootlog_pd.txt";

// Longest message once formatted, its zero byte included.
constexpr int32_t LOG_MESSAGE_MAX = 1024;

// The four header lines that log_create writes.
constexpr char LOG_HEADER_RULE[] =
    "//-----------------------------------------------------------------------------";
constexpr char LOG_HEADER_LEGACY[] = "// This logfile was created by D3D8 test ";
constexpr char LOG_HEADER_NOTICE[] = "// Bolvo Quest launcher: log of the latest news fetch ";

// Every message of a news fetch, in the order a fetch writes them. All are written with a
// line end (end_line 1) except LOG_RECEIVED_BYTE, which is written without one.
constexpr char LOG_START[] = "Start loggin...";
constexpr char LOG_START_GET_PROXY[] = "    Start get_proxy ()";
constexpr char LOG_REG_OPEN_OK[] = "    RegOpenKeyEx is OK";
constexpr char LOG_FMT_PROXY_ENABLE[] = "    RegQueryValueEx is OK. ProxyEnable is %d";
constexpr char LOG_FMT_PROXY_SERVER[] = "    RegQueryValueEx is OK. ProxyServer is %s";
constexpr char LOG_FMT_PROXY_START[] = "    f_pos - %d";
constexpr char LOG_FMT_PROXY_HOST[] = "    Proxy IP/NAME is %s";
constexpr char LOG_FMT_PROXY_PORT[] = "    Proxy port is %d";
constexpr char LOG_GET_PROXY_DONE[] = "    get_proxy () done!";
constexpr char LOG_FMT_PROXY_IP[] = "    Get proxy IP done (%d)";
constexpr char LOG_NO_PROXY[] =
    "    No proxy-server detected or can connect to WWW server directly!";
constexpr char LOG_CONNECT_DONE[] = "    Connect Done";
constexpr char LOG_SEND_DONE[] = "    Send Done";
constexpr char LOG_DATA_BLOCK_START[] = "    +++ Data Block start +++";
constexpr char LOG_FMT_RECEIVED_BYTE[] = "%c";
constexpr char LOG_DATA_BLOCK_END[] = "    +++ Data Block End +++";
constexpr char LOG_RECEIVE_DONE[] = "    Receive Data  Done\n";
constexpr char LOG_ENCODE_TEXT[] = "    Encode text...";
constexpr char LOG_DECODE_PASS_1[] = "    Encode text - pass 1 done...";
constexpr char LOG_DECODE_PASS_2[] = "    Encode text - pass 2 done...";
constexpr char LOG_DONE[] = "    Done";
constexpr char LOG_CLOSING[] = "Closing log file";

// The message table as data: number, text or format, end_line value.
struct log_message {
    int32_t number;
    const char* text;
    int32_t end_line;
};
constexpr int32_t LOG_MESSAGE_COUNT = 26;
extern const log_message log_messages[LOG_MESSAGE_COUNT];

// Creates the file, or empties it (mode "w"), and writes the four header lines, each "%s\n".
void log_create();
// Appends text (mode "a"), with "%s\n" when end_line is nonzero, else with "%s".
void log_line(const char* text, int end_line);
// No file stays open between operations, so there is nothing to close; kept for the calling
// order of a fetch (it never touches any other open file).
void log_close();

// Appends bytes received from the news server, exactly as one "%c" message per byte written
// without a line end would store them (a zero byte's message is empty and writes nothing), but
// with one open of the file for the whole block: a 64 KiB reply would otherwise open and close
// the file 65,536 times.
void log_received_bytes(const char* data, size_t length);

#endif
