// Proxy lookup in the registry; see proxy.h. The text of ProxyServer is taken apart by
// parse_proxy_server, which the host tests cover; this file is the registry and log side.
#include "news/proxy.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "bootlog/bootlog.h"
#include "news/proxy_text.h"

static void log_number(const char* format, int32_t number)
{
    char message[LOG_MESSAGE_MAX];
    snprintf(message, sizeof(message), format, (int)number);
    log_line(message, 1);
}

static void log_text(const char* format, const char* text)
{
    char message[LOG_MESSAGE_MAX];
    snprintf(message, sizeof(message), format, text);
    log_line(message, 1);
}

// Reads ProxyEnable and ProxyServer from the open key and fills the outputs; see get_proxy.
static int read_proxy(HKEY key, char* host, uint16_t* port, int* is_name)
{
    // An unreadable ProxyEnable (absent, or longer than 4 bytes) counts as switched on, and the
    // log then shows the number as it stood before the read: 0. A failed read may leave the
    // buffer undefined, so it is set back to that 0.
    int32_t enable = 0;
    DWORD size = sizeof(enable);
    if (RegQueryValueExA(key, "ProxyEnable", NULL, NULL, (BYTE*)&enable, &size) == ERROR_SUCCESS) {
        if (enable != 1)
            return 0;
    } else {
        enable = 0;
    }
    log_number(LOG_FMT_PROXY_ENABLE, enable);

    // One byte beyond the 512 read stays zero, so a value stored without its terminator still
    // ends inside the buffer.
    char server[PROXY_SERVER_SIZE + 1];
    memset(server, 0, sizeof(server));
    size = PROXY_SERVER_SIZE;
    if (RegQueryValueExA(key, "ProxyServer", NULL, NULL, (BYTE*)server, &size) != ERROR_SUCCESS)
        return 0;
    log_text(LOG_FMT_PROXY_SERVER, server);

    proxy_entry entry;
    parse_proxy_server(server, &entry);
    log_number(LOG_FMT_PROXY_START, entry.start);
    *is_name = entry.is_name;
    // The caller's cleared buffer ends the text; a host is cut to 254 characters to leave it.
    memcpy(host, entry.host, strlen(entry.host));
    log_text(LOG_FMT_PROXY_HOST, entry.host);
    *port = entry.port;
    log_number(LOG_FMT_PROXY_PORT, entry.port);
    log_line(LOG_GET_PROXY_DONE, 1);
    return 1;
}

int get_proxy(char* host, uint16_t* port, int* is_name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PROXY_SETTINGS_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    log_line(LOG_REG_OPEN_OK, 1);
    int found = read_proxy(key, host, port, is_name);
    RegCloseKey(key);
    return found;
}
