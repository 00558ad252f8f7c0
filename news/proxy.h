// The user's HTTP proxy, read from the Internet settings of the current user in the registry,
// so that the news fetch can go through the proxy the user has switched on.
#pragma once

#include <stdint.h>

// Registry key (under HKEY_CURRENT_USER) that holds ProxyEnable and ProxyServer.
constexpr char PROXY_SETTINGS_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
// Bytes read of ProxyServer, its terminator included; a longer value is not read.
constexpr uint32_t PROXY_SERVER_SIZE = 512;

// Returns 1 when a proxy is switched on and configured, with its host copied into host (a
// 255-byte buffer the caller has cleared; no terminator is written, the cleared bytes end the
// text), its port and is_name (1 for a name to resolve, 0 for a dotted address). Returns 0
// with the outputs untouched when there is none. Writes its progress to the boot log.
int get_proxy(char* host, uint16_t* port, int* is_name);
