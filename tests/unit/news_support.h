// Helpers of the news tests under Wine: a private working folder for the boot log, the user's
// proxy values in the registry set by a test and put back afterwards, a loopback test server
// that records the request and answers as told, and waiting for workers while this thread
// pumps messages (a worker sends its texts to the news view, which this thread owns).
// Header-only: every test program is built from one test file and the shared unit support.
#pragma once

#include <winsock2.h>
#include <windows.h>
#include <gtest/gtest.h>
#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "bootlog/bootlog.h"
#include "news/proxy.h"
#include "unit_support.h"

// ---- working folder --------------------------------------------------------------------------

// Makes a fresh folder under the temp path and makes it the working directory; the previous
// one is put back and the folder removed by news_leave_folder.
struct news_folder {
    char path[MAX_PATH];
    char previous[MAX_PATH];
};

inline void news_enter_folder(news_folder* f, const char* tag)
{
    static LONG serial;
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof(temp), temp), 0u);
    snprintf(f->path, sizeof(f->path), "%sbolvo_%s_%lu_%ld", temp, tag,
             (unsigned long)GetCurrentProcessId(), (long)InterlockedIncrement(&serial));
    CreateDirectoryA(f->path, NULL);
    GetCurrentDirectoryA(sizeof(f->previous), f->previous);
    ASSERT_TRUE(SetCurrentDirectoryA(f->path)) << f->path;
}

inline void news_leave_folder(news_folder* f)
{
    SetCurrentDirectoryA(f->previous);
    char file[MAX_PATH];
    snprintf(file, sizeof(file), "%s\\%s", f->path, LOG_FILE_NAME);
    DeleteFileA(file);
    RemoveDirectoryA(f->path);
}

// The whole boot log, read in binary so the CR LF line ends of the text mode show.
inline std::string news_read_log(void)
{
    std::string text;
    if (!read_whole_file(LOG_FILE_NAME, &text))
        return "(no log file)";
    return text;
}

// The header as log_create stores it on Windows.
inline std::string news_log_header(void)
{
    return std::string(LOG_HEADER_RULE) + "\r\n" + LOG_HEADER_LEGACY + "\r\n" + LOG_HEADER_NOTICE +
           "\r\n" + LOG_HEADER_RULE + "\r\n";
}

// Lines each stored with a CR LF line end.
inline std::string news_log_lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// Makes bytes visible in a failure message.
inline std::string news_visible(const std::string& bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        char part[8];
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n\n";
        else if (c < 32 || c > 126) {
            snprintf(part, sizeof(part), "\\x%02x", c);
            out += part;
        } else
            out += (char)c;
    }
    return out;
}

// ---- the user's proxy values -----------------------------------------------------------------

// One registry value as it was before the test: present or not, its type and bytes.
struct news_saved_value {
    const char* name;
    int present;
    DWORD type;
    std::vector<BYTE> data;
};

// Saves ProxyEnable and ProxyServer of the current user and puts them back (or deletes them
// when they were absent) on news_restore_proxy_values.
struct news_proxy_values {
    news_saved_value saved[2];
};

inline void news_save_value(HKEY key, news_saved_value* v)
{
    DWORD size = 0;
    v->present = RegQueryValueExA(key, v->name, NULL, &v->type, NULL, &size) == ERROR_SUCCESS;
    v->data.assign(size, 0);
    if (v->present && size > 0)
        RegQueryValueExA(key, v->name, NULL, &v->type, v->data.data(), &size);
}

inline HKEY news_settings_key(void)
{
    HKEY key = NULL;
    LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, PROXY_SETTINGS_KEY, 0, NULL, 0,
                                  KEY_READ | KEY_WRITE, NULL, &key, NULL);
    EXPECT_EQ(result, ERROR_SUCCESS) << "cannot open the Internet settings key";
    return key;
}

inline void news_save_proxy_values(news_proxy_values* p)
{
    p->saved[0].name = "ProxyEnable";
    p->saved[1].name = "ProxyServer";
    HKEY key = news_settings_key();
    for (news_saved_value& v : p->saved)
        news_save_value(key, &v);
    RegCloseKey(key);
}

inline void news_restore_proxy_values(news_proxy_values* p)
{
    HKEY key = news_settings_key();
    for (news_saved_value& v : p->saved) {
        if (v.present)
            RegSetValueExA(key, v.name, 0, v.type, v.data.data(), (DWORD)v.data.size());
        else
            RegDeleteValueA(key, v.name);
    }
    RegCloseKey(key);
}

// Sets (or with data NULL deletes) one value of the Internet settings key.
inline void news_set_value(const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = news_settings_key();
    if (data == NULL)
        RegDeleteValueA(key, name);
    else
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, (const BYTE*)data, size), ERROR_SUCCESS)
            << name;
    RegCloseKey(key);
}

inline void news_set_proxy_enable(DWORD value)
{
    news_set_value("ProxyEnable", REG_DWORD, &value, sizeof(value));
}

inline void news_set_proxy_server(const char* text)
{
    news_set_value("ProxyServer", REG_SZ, text, (DWORD)strlen(text) + 1);
}

// ---- loopback test server --------------------------------------------------------------------

// Listens on 127.0.0.1 (a free port) and serves `connections` connections one after the other:
// reads the request up to its empty line, records it, sends `reply` and closes, or with
// `stall` set keeps the connection open without answering until news_stop_server.
struct news_server {
    SOCKET listener;
    uint16_t port;
    std::string reply;
    int stall;
    int connections;
    std::vector<std::string> requests;   // written by the server thread, read after it ended
    HANDLE thread;
    HANDLE release;                      // set to let a stalled connection close
};

inline DWORD WINAPI news_server_thread(LPVOID arg)
{
    news_server* server = (news_server*)arg;
    for (int i = 0; i < server->connections; i++) {
        SOCKET s = accept(server->listener, NULL, NULL);
        if (s == INVALID_SOCKET)
            return 1;
        std::string request;
        char chunk[1024];
        while (request.find("\r\n\r\n") == std::string::npos) {
            int n = recv(s, chunk, sizeof(chunk), 0);
            if (n <= 0)
                break;
            request.append(chunk, (size_t)n);
        }
        server->requests.push_back(request);
        if (server->stall) {
            WaitForSingleObject(server->release, 120000);
        } else {
            size_t sent = 0;
            while (sent < server->reply.size()) {
                int n = send(s, server->reply.data() + sent, (int)(server->reply.size() - sent), 0);
                if (n == SOCKET_ERROR)
                    break;
                sent += (size_t)n;
            }
            // Closing while the client still has unread data must not turn into a reset that
            // drops it: stop sending and let the client read to the end first.
            shutdown(s, SD_SEND);
            DWORD start = GetTickCount();
            while (recv(s, chunk, sizeof(chunk), 0) > 0 && GetTickCount() - start < 60000) {
            }
        }
        closesocket(s);
    }
    return 0;
}

inline void news_start_server(news_server* server, const std::string& reply, int connections,
                              int stall)
{
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    server->reply = reply;
    server->stall = stall;
    server->connections = connections;
    server->requests.clear();
    server->listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_NE(server->listener, INVALID_SOCKET);
    sockaddr_in address;
    memset(&address, 0, sizeof(address));
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ASSERT_EQ(bind(server->listener, (sockaddr*)&address, sizeof(address)), 0);
    ASSERT_EQ(listen(server->listener, 8), 0);
    int size = sizeof(address);
    getsockname(server->listener, (sockaddr*)&address, &size);
    server->port = ntohs(address.sin_port);
    server->release = CreateEventA(NULL, TRUE, FALSE, NULL);
    server->thread = CreateThread(NULL, 0, news_server_thread, server, 0, NULL);
    ASSERT_NE(server->thread, (HANDLE)NULL);
}

// Lets a stalled connection go, ends the server and waits for its thread.
inline void news_stop_server(news_server* server)
{
    SetEvent(server->release);
    closesocket(server->listener);
    EXPECT_EQ(WaitForSingleObject(server->thread, 60000), WAIT_OBJECT_0) << "server thread hangs";
    CloseHandle(server->thread);
    CloseHandle(server->release);
    WSACleanup();
}

// A port on 127.0.0.1 where nothing listens: bound once, then released.
inline uint16_t news_closed_port(void)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address;
    memset(&address, 0, sizeof(address));
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, (sockaddr*)&address, sizeof(address));
    int size = sizeof(address);
    getsockname(s, (sockaddr*)&address, &size);
    closesocket(s);
    WSACleanup();
    return ntohs(address.sin_port);
}

// ---- waiting for workers ---------------------------------------------------------------------

// Waits until every thread has ended, dispatching this thread's messages meanwhile so that
// the workers' texts reach the news view. 1 when all ended within limit_ms.
inline int news_wait_threads(const HANDLE* threads, DWORD count, DWORD limit_ms)
{
    DWORD start = GetTickCount();
    for (DWORD i = 0; i < count; i++) {
        // One thread at a time: a wait for any of them would return at once for one that ended.
        while (WaitForSingleObject(threads[i], 0) != WAIT_OBJECT_0) {
            if (GetTickCount() - start >= limit_ms)
                return 0;
            MsgWaitForMultipleObjects(1, &threads[i], FALSE, 100, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
    return 1;
}
