// The news fetch worker: connects to the news server (through the user's proxy when one is
// switched on), sends one HTTP/1.0 GET, reads the whole reply, decodes it and shows the news
// or the error text in the news view. Its progress goes to the boot log.
#include <winsock2.h>

#include "news/news_fetch.h"

#include <stdio.h>
#include <string.h>

#include "bootlog/bootlog.h"
#include "news/news_view.h"
#include "news/proxy.h"
#include "news/proxy_text.h"
#include "news/request_text.h"

volatile LONG news_loaded;

const char news_connecting_text[] = NEWS_CONNECTING_TEXT;

char receive_buffer[NEWS_REPLY_SIZE + 1];

DWORD news_socket_timeout_ms = 30000;

static const char news_host[] = NEWS_HOST;
static const uint16_t NEWS_PORT = 80;

// Held by a worker for its whole fetch: news_text, receive_buffer, the boot log and the news
// view's text belong to one fetch at a time, and a later fetch's texts replace an earlier
// one's. Only workers wait for it, never the main thread, which must stay free to carry out
// the texts the worker sends to the view.
static SRWLOCK fetch_lock = SRWLOCK_INIT;

static void log_number(const char* format, int32_t number)
{
    char message[LOG_MESSAGE_MAX];
    snprintf(message, sizeof(message), format, (int)number);
    log_line(message, 1);
}

// The address as the log shows it: its four bytes in network order read as one little-endian
// signed 32-bit number, so that 10.0.0.1 is 16777226.
static int32_t address_as_logged(const in_addr* address)
{
    const unsigned char* b = (const unsigned char*)&address->s_addr;
    uint32_t value = (uint32_t)b[0] | ((uint32_t)b[1] << 8) | ((uint32_t)b[2] << 16) |
                     ((uint32_t)b[3] << 24);
    return (int32_t)value;
}

// First IPv4 address of a host name, or INADDR_NONE when the lookup finds none.
static in_addr resolve(const char* name)
{
    in_addr address;
    address.s_addr = INADDR_NONE;
    const hostent* entry = gethostbyname(name);
    if (entry != NULL && entry->h_addrtype == AF_INET && entry->h_addr_list[0] != NULL)
        memcpy(&address, entry->h_addr_list[0], sizeof(address));
    return address;
}

static int connect_to(SOCKET s, in_addr address, uint16_t port)
{
    sockaddr_in server;
    memset(&server, 0, sizeof(server));
    server.sin_family = AF_INET;
    server.sin_port = htons(port);
    server.sin_addr = address;
    if (connect(s, (const sockaddr*)&server, sizeof(server)) == SOCKET_ERROR)
        return 0;
    log_line(LOG_CONNECT_DONE, 1);
    return 1;
}

static int send_request(SOCKET s, const char* request)
{
    return send(s, request, (int)strlen(request), 0) != SOCKET_ERROR;
}

// Connects through the proxy or directly and sends the matching request; 1 when sent.
static int connect_and_send(SOCKET s)
{
    char request[512];
    char host[PROXY_HOST_SIZE];
    memset(host, 0, sizeof(host));
    uint16_t port = 0;
    int is_name = 0;
    log_line(LOG_START_GET_PROXY, 1);
    if (get_proxy(host, &port, &is_name) == 1) {
        in_addr address;
        if (is_name == 1) {
            address = resolve(host);
        } else {
            address.s_addr = inet_addr(host);
        }
        if (address.s_addr == INADDR_NONE)
            return 0;
        log_number(LOG_FMT_PROXY_IP, address_as_logged(&address));
        if (!connect_to(s, address, port))
            return 0;
        build_proxy_request(news_host, request, sizeof(request));
    } else {
        log_line(LOG_NO_PROXY, 1);
        in_addr address = resolve(news_host);
        if (address.s_addr == INADDR_NONE)
            return 0;
        if (!connect_to(s, address, NEWS_PORT))
            return 0;
        build_direct_request(news_host, request, sizeof(request));
    }
    return send_request(s, request);
}

// Reads until the server closes the connection or the buffer is full, logging every block;
// 1 on success with the reply and a zero byte in receive_buffer.
static int receive_reply(SOCKET s)
{
    size_t received = 0;
    while (received < NEWS_REPLY_SIZE) {
        int count = recv(s, receive_buffer + received, (int)(NEWS_REPLY_SIZE - received), 0);
        log_line(LOG_DATA_BLOCK_START, 1);
        if (count > 0)
            log_received_bytes(receive_buffer + received, (size_t)count);
        log_line(LOG_DATA_BLOCK_END, 1);
        if (count == 0)
            break;
        if (count == SOCKET_ERROR)
            return 0;
        received += (size_t)count;
    }
    receive_buffer[received] = 0;
    return 1;
}

// One fetch after the socket exists; 1 when the news is shown.
static int fetch_with(SOCKET s)
{
    DWORD timeout = news_socket_timeout_ms;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, (const char*)&timeout, sizeof(timeout));
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, (const char*)&timeout, sizeof(timeout));
    if (!connect_and_send(s))
        return 0;
    log_line(LOG_SEND_DONE, 1);
    if (!receive_reply(s))
        return 0;
    log_line(LOG_RECEIVE_DONE, 1);
    log_line(LOG_ENCODE_TEXT, 1);
    if (decode_news(receive_buffer) < 0)
        return 0;
    set_news_text(news_text);
    InterlockedExchange(&news_loaded, 1);
    log_line(LOG_DONE, 1);
    log_line(LOG_CLOSING, 1);
    log_close();
    return 1;
}

static void run_fetch(void)
{
    log_create();
    log_line(LOG_START, 1);
    InterlockedExchange(&news_loaded, 0);
    set_news_text(news_connecting_text);

    WSADATA winsock;
    int started = WSAStartup(MAKEWORD(1, 1), &winsock) == 0;
    SOCKET s = INVALID_SOCKET;
    if (started)
        s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    int shown = s != INVALID_SOCKET && fetch_with(s);
    if (!shown) {
        // The failure writes no log message of its own; the view and news_text get the same
        // error text, so a click on the host name in it reads the right characters.
        build_news_error_text(news_host, news_text, NEWS_TEXT_SIZE);
        set_news_text(news_text);
    }
    if (s != INVALID_SOCKET)
        closesocket(s);
    if (started)
        WSACleanup();
}

DWORD WINAPI fetch_news(LPVOID unused)
{
    (void)unused;
    AcquireSRWLockExclusive(&fetch_lock);
    run_fetch();
    ReleaseSRWLockExclusive(&fetch_lock);
    return 0;
}

HRESULT start_news_fetch(void)
{
    HANDLE thread = CreateThread(NULL, 0, fetch_news, NULL, 0, NULL);
    if (thread == NULL)
        return E_FAIL;
    // Nothing waits for the worker or asks for its result.
    CloseHandle(thread);
    return S_OK;
}
