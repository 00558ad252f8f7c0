// The news fetch worker under Wine against a loopback test server in this process, through the
// user's proxy as the registry names it: the request sent, the news in news_text and in a real
// Rich Edit view, news_loaded, the boot log of a whole fetch, replies that are empty, too long
// or never come, a closed proxy port, proxy hosts that give no address, the direct path with a
// news server name that does not resolve, and two fetches started together.
#include <gtest/gtest.h>

#include <richedit.h>
#include <stdio.h>
#include <string.h>

#include <iostream>
#include <string>
#include <vector>

#include "bootlog/bootlog.h"
#include "news/news_codec.h"
#include "news/news_fetch.h"
#include "news/news_view.h"
#include "news/request_text.h"
#include "news_support.h"

namespace {

const DWORD FETCH_LIMIT_MS = 120000;
// FR_DOWN of the common dialogs: Rich Edit 2.0 searches backwards without it.
const WPARAM SEARCH_FORWARD = 1;
const char LOOPBACK_AS_LOGGED[] = "    Get proxy IP done (16777343)";   // 127.0.0.1

std::string http_reply(const std::string& body)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + body;
}

std::string encoded(const std::string& text)
{
    std::string body(encode_news_bound(text.size()) + 1, 0);
    size_t length = encode_news((const uint8_t*)text.data(), text.size(), &body[0], body.size());
    body.resize(length);
    return body;
}

// The reply's bytes as the log stores them: zero bytes write nothing, LF becomes CR LF.
std::string stored_in_log(const std::string& bytes)
{
    std::string out;
    for (char c : bytes) {
        if (c == '\n')
            out += "\r\n";
        else if (c != 0)
            out += c;
    }
    return out;
}

std::string error_text(void)
{
    char text[512];
    build_news_error_text(NEWS_HOST, text, sizeof(text));
    return text;
}

std::string proxy_server_text(uint16_t port)
{
    return "127.0.0.1:" + std::to_string(port);
}

// Messages 5 to 14 of a fetch through the proxy at 127.0.0.1:port.
std::vector<std::string> proxy_lines(uint16_t port)
{
    return {"Start loggin...",
            "    Start get_proxy ()",
            "    RegOpenKeyEx is OK",
            "    RegQueryValueEx is OK. ProxyEnable is 1",
            "    RegQueryValueEx is OK. ProxyServer is " + proxy_server_text(port),
            "    f_pos - 0",
            "    Proxy IP/NAME is 127.0.0.1",
            "    Proxy port is " + std::to_string(port),
            "    get_proxy () done!",
            LOOPBACK_AS_LOGGED};
}

const std::vector<std::string> SUCCESS_END = {
    "    Receive Data  Done", "", "    Encode text...", "    Encode text - pass 1 done...",
    "    Encode text - pass 2 done...", "    Done", "Closing log file"};

// Checks a whole log: the header and `before`, then data blocks whose bytes together are
// `received` as stored, the last block empty when the server closed the connection, then
// `after` and the file's end. Returns "" when it matches, else what differs.
std::string check_fetch_log(const std::string& log, const std::vector<std::string>& before,
                            const std::string& received, int closed_by_server,
                            const std::vector<std::string>& after)
{
    std::string head = news_log_header() + news_log_lines(before);
    if (log.compare(0, head.size(), head) != 0)
        return "log does not begin with\n" + news_visible(head) + "\nactual log:\n" +
               news_visible(log);
    const std::string start = std::string(LOG_DATA_BLOCK_START) + "\r\n";
    const std::string end = std::string(LOG_DATA_BLOCK_END) + "\r\n";
    size_t pos = head.size();
    std::string data;
    std::string last_block = "(none)";
    int blocks = 0;
    while (log.compare(pos, start.size(), start) == 0) {
        size_t close = log.find(end, pos + start.size());
        if (close == std::string::npos)
            return "data block without its end line at " + std::to_string(pos);
        last_block = log.substr(pos + start.size(), close - pos - start.size());
        data += last_block;
        blocks++;
        pos = close + end.size();
    }
    std::string expected_data = stored_in_log(received);
    if (data != expected_data)
        return "logged data (" + std::to_string(data.size()) + " bytes in " +
               std::to_string(blocks) + " blocks) differs from the expected " +
               std::to_string(expected_data.size()) + " bytes; first 300 logged:\n" +
               news_visible(data.substr(0, 300)) + "\nexpected:\n" +
               news_visible(expected_data.substr(0, 300));
    if (closed_by_server && last_block != "")
        return "the last data block should be the empty one of the closed connection";
    if (!closed_by_server && last_block == "")
        return "a full buffer ends the receiving without an empty block";
    std::string tail = news_log_lines(after);
    if (log.substr(pos) != tail)
        return "after the data expected\n" + news_visible(tail) + "\nactual:\n" +
               news_visible(log.substr(pos));
    return "";
}

// The view's text with one CR per paragraph, as the view counts characters.
std::string view_text(void)
{
    std::vector<char> buffer(NEWS_TEXT_SIZE * 2, 0);
    GETTEXTEX request;
    memset(&request, 0, sizeof(request));
    request.cb = (DWORD)buffer.size();
    request.flags = GT_DEFAULT;
    request.codepage = CP_ACP;
    SendMessageA(news_view, EM_GETTEXTEX, (WPARAM)&request, (LPARAM)buffer.data());
    return buffer.data();
}

// news_text as the view should hold it: each line feed is a paragraph end (CR) there.
std::string news_text_as_view(void)
{
    std::string text(news_text, strnlen(news_text, NEWS_TEXT_SIZE));
    for (char& c : text)
        if (c == '\n')
            c = '\r';
    return text;
}

class news_fetch_wine : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_NE(LoadLibraryA("Riched20.dll"), (HMODULE)NULL); }

    void SetUp() override
    {
        news_enter_folder(&folder, "fetch");
        news_save_proxy_values(&saved);
        parent = CreateWindowExA(0, "STATIC", "news test", WS_POPUP, 0, 0, 533, 488, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
        ASSERT_NE(parent, (HWND)NULL);
        InterlockedExchange(&news_loaded, 0);
        create_news_view(parent, GetModuleHandleA(NULL), NULL);
        ASSERT_NE(news_view, (HWND)NULL);
        memset(news_text, 0, NEWS_TEXT_SIZE);
    }
    void TearDown() override
    {
        news_socket_timeout_ms = 30000;
        DestroyWindow(parent);
        news_view = NULL;
        news_restore_proxy_values(&saved);
        news_leave_folder(&folder);
    }

    void use_proxy(const std::string& server)
    {
        news_set_proxy_enable(1);
        news_set_proxy_server(server.c_str());
    }

    // Runs `count` workers at once and waits for all of them, pumping messages; returns the
    // milliseconds taken.
    DWORD run_fetches(int count)
    {
        HANDLE threads[4];
        DWORD start = GetTickCount();
        for (int i = 0; i < count; i++) {
            threads[i] = CreateThread(NULL, 0, fetch_news, NULL, 0, NULL);
            EXPECT_NE(threads[i], (HANDLE)NULL);
        }
        EXPECT_TRUE(news_wait_threads(threads, (DWORD)count, FETCH_LIMIT_MS))
            << "fetch still running after " << FETCH_LIMIT_MS << " ms";
        DWORD elapsed = GetTickCount() - start;
        for (int i = 0; i < count; i++)
            CloseHandle(threads[i]);
        return elapsed;
    }

    void expect_error_shown(const std::string& what)
    {
        EXPECT_EQ(std::string(news_text), error_text()) << what;
        EXPECT_NE(error_text().find(NEWS_HOST), std::string::npos);
        EXPECT_EQ(view_text(), news_text_as_view()) << what << ": the view shows news_text";
        EXPECT_EQ(news_loaded, 0) << what << ": news_loaded stays clear after a failure";
    }

    news_folder folder;
    news_proxy_values saved;
    HWND parent;
};

TEST_F(news_fetch_wine, view_starts_with_the_connecting_text)
{
    EXPECT_EQ(view_text(), std::string("\r\r\r\r\r\r\t   Connecting to Game site.. Please wait... "));
    EXPECT_STREQ(news_connecting_text, NEWS_CONNECTING_TEXT);
}

TEST_F(news_fetch_wine, proxy_fetch_sends_the_absolute_request_and_shows_the_news)
{
    const std::string news = "Bolvo news\r\nThe bridge is open.\r\nMore at http://www.bolvoquest.example/";
    // A zero byte after the payload: it reaches the log as nothing.
    const std::string reply = http_reply(encoded(news) + std::string("\0tail\n", 6));
    news_server server;
    news_start_server(&server, reply, 1, 0);
    use_proxy(proxy_server_text(server.port));
    InterlockedExchange(&news_loaded, 0);

    DWORD elapsed = run_fetches(1);
    news_stop_server(&server);
    std::cout << "fetch of a " << reply.size() << "-byte reply took " << elapsed << " ms\n";

    ASSERT_EQ(server.requests.size(), 1u) << "connections the proxy port received";
    std::string host = NEWS_HOST;
    EXPECT_EQ(server.requests[0], "GET http://" + host + "/bolvo/news/getnews.cgi HTTP/1.0\r\nHost: " +
                                      host + "\r\n\r\n");
    EXPECT_EQ(std::string(news_text), "Bolvo news\nThe bridge is open.\nMore at http://www.bolvoquest.example/");
    EXPECT_EQ(view_text(), news_text_as_view());
    // A link click copies news_text at the view's character positions: they must agree.
    const char link[] = "http://www.bolvoquest.example/";
    FINDTEXTEXA find;
    find.chrg.cpMin = 0;
    find.chrg.cpMax = -1;
    find.lpstrText = link;
    LRESULT found = SendMessageA(news_view, EM_FINDTEXTEX, SEARCH_FORWARD, (LPARAM)&find);
    EXPECT_EQ(found, (LRESULT)(strstr(news_text, link) - news_text))
        << "position of the link in the view and in news_text";
    EXPECT_EQ(news_loaded, 1);
    std::vector<std::string> before = proxy_lines(server.port);
    before.push_back("    Connect Done");
    before.push_back("    Send Done");
    std::string problem = check_fetch_log(news_read_log(), before, reply, 1, SUCCESS_END);
    EXPECT_EQ(problem, "");
}

TEST_F(news_fetch_wine, failures_show_the_error_text_and_the_log_stops_at_the_last_step)
{
    // Servers that answer, or do not, and proxy settings that lead nowhere.
    struct {
        const char* name;
        int serve;              // 0: nothing listens on the proxy port
        std::string reply;
        int stall;
        const char* server;     // ProxyServer, or NULL for the test server's address
        int log_upto;           // last of proxy_lines written, counted from 1; 0 = all + sent
    } cases[] = {
        {"server closes without data", 1, "", 0, NULL, 0},
        {"reply without a marker", 1, http_reply("no news today"), 0, NULL, 0},
        {"server never answers", 1, "", 1, NULL, 0},
        {"closed proxy port", 0, "", 0, NULL, 10},
        {"digits that are no address", 0, "", 0, "999.0.0.1:8080", 9},
        {"name that does not resolve", 0, "", 0, "proxy.bolvoquest.invalid:8080", 9},
    };
    news_socket_timeout_ms = 1000;
    for (const auto& c : cases) {
        log_create();
        news_server server;
        uint16_t port = news_closed_port();
        if (c.serve) {
            news_start_server(&server, c.reply, 1, c.stall);
            port = server.port;
        }
        std::string proxy = c.server != NULL ? c.server : proxy_server_text(port);
        use_proxy(proxy);
        InterlockedExchange(&news_loaded, 1);   // the fetch clears it at its start

        DWORD elapsed = run_fetches(1);
        if (c.serve)
            news_stop_server(&server);
        std::cout << c.name << ": " << elapsed << " ms\n";

        expect_error_shown(c.name);
        std::string log = news_read_log();
        if (c.log_upto == 0) {
            std::vector<std::string> before = proxy_lines(port);
            before.push_back("    Connect Done");
            before.push_back("    Send Done");
            // No marker: the decoder writes nothing and the log ends after "Encode text...".
            // A receive error ends it after its (empty) data block.
            std::vector<std::string> after;
            if (c.stall)
                after = {};
            else
                after = {"    Receive Data  Done", "", "    Encode text..."};
            std::string received = c.stall ? "" : c.reply;
            std::string problem = check_fetch_log(log, before, received, !c.stall, after);
            if (c.stall) {
                // The timed-out receive logs one empty block and nothing follows it.
                std::string expected = news_log_header() + news_log_lines(before) +
                                       news_log_lines({LOG_DATA_BLOCK_START, LOG_DATA_BLOCK_END});
                EXPECT_EQ(log, expected) << c.name << "\nexpected:\n" << news_visible(expected)
                                         << "\nactual:\n" << news_visible(log);
                EXPECT_LT(elapsed, 20000u) << "the shortened time-out ends the fetch";
            } else {
                EXPECT_EQ(problem, "") << c.name;
            }
        } else {
            std::vector<std::string> lines = proxy_lines(port);
            if (c.server != NULL) {
                // Messages 9 to 12 name the configured text, not the test server.
                std::string text = c.server;
                std::string host = text.substr(0, text.find(':'));
                lines = {"Start loggin...",
                         "    Start get_proxy ()",
                         "    RegOpenKeyEx is OK",
                         "    RegQueryValueEx is OK. ProxyEnable is 1",
                         "    RegQueryValueEx is OK. ProxyServer is " + text,
                         "    f_pos - 0",
                         "    Proxy IP/NAME is " + host,
                         "    Proxy port is 8080",
                         "    get_proxy () done!"};
            }
            lines.resize((size_t)c.log_upto);
            std::string expected = news_log_header() + news_log_lines(lines);
            EXPECT_EQ(log, expected) << c.name << "\nexpected:\n" << news_visible(expected)
                                     << "\nactual:\n" << news_visible(log);
        }
    }
}

TEST_F(news_fetch_wine, reply_is_cut_after_65536_bytes)
{
    const std::string header = http_reply("");
    const std::string news = "Short news before a long tail";
    struct {
        const char* name;
        std::string reply;
        std::string expected_news;
    } cases[] = {
        // The whole payload lies in the first 65,536 bytes; the rest is never read.
        {"payload inside", header + encoded(news) + std::string(70000, 'x'), news},
        // The second marker is cut off: the payload is empty, and that is still a success.
        {"second marker cut off",
         header + news_marker + std::string(70000, 'a') + news_marker, ""},
    };
    for (const auto& c : cases) {
        log_create();
        news_server server;
        news_start_server(&server, c.reply, 1, 0);
        use_proxy(proxy_server_text(server.port));
        memset(news_text, 'z', 100);

        DWORD elapsed = run_fetches(1);
        news_stop_server(&server);
        std::cout << c.name << ": fetch of a " << c.reply.size() << "-byte reply took " << elapsed
                  << " ms\n";

        EXPECT_EQ(std::string(news_text), c.expected_news) << c.name;
        EXPECT_EQ(view_text(), news_text_as_view()) << c.name;
        EXPECT_EQ(news_loaded, 1) << c.name;
        std::vector<std::string> before = proxy_lines(server.port);
        before.push_back("    Connect Done");
        before.push_back("    Send Done");
        std::string problem = check_fetch_log(news_read_log(), before,
                                              c.reply.substr(0, NEWS_REPLY_SIZE), 0, SUCCESS_END);
        EXPECT_EQ(problem, "") << c.name;
    }
}

TEST_F(news_fetch_wine, two_fetches_started_together_do_not_mix)
{
    const std::string news = "Two at once\nhttp://www.bolvoquest.example/two";
    const std::string reply = http_reply(encoded(news));
    news_server server;
    news_start_server(&server, reply, 2, 0);
    use_proxy(proxy_server_text(server.port));

    run_fetches(2);
    news_stop_server(&server);

    ASSERT_EQ(server.requests.size(), 2u) << "both fetches reach the server";
    EXPECT_EQ(server.requests[0], server.requests[1]);
    EXPECT_EQ(std::string(news_text), news);
    EXPECT_EQ(view_text(), news_text_as_view());
    EXPECT_EQ(news_loaded, 1);
    // The log holds the whole log of one fetch, nothing of the other interleaved.
    std::vector<std::string> before = proxy_lines(server.port);
    before.push_back("    Connect Done");
    before.push_back("    Send Done");
    std::string problem = check_fetch_log(news_read_log(), before, reply, 1, SUCCESS_END);
    EXPECT_EQ(problem, "");
}

TEST_F(news_fetch_wine, start_news_fetch_runs_a_worker_that_shows_the_news)
{
    const std::string news = "Started from the news page";
    news_server server;
    news_start_server(&server, http_reply(encoded(news)), 1, 0);
    use_proxy(proxy_server_text(server.port));

    EXPECT_EQ(start_news_fetch(), S_OK);
    // The worker's thread handle is not kept: watch for the log's last line instead.
    DWORD start = GetTickCount();
    std::string log;
    MSG msg;
    while (GetTickCount() - start < FETCH_LIMIT_MS) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        log = news_read_log();
        if (log.size() >= 18 && log.compare(log.size() - 18, 18, "Closing log file\r\n") == 0)
            break;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
    }
    news_stop_server(&server);
    EXPECT_EQ(std::string(news_text), news) << "log:\n" << news_visible(log);
    EXPECT_EQ(view_text(), news_text_as_view());
    EXPECT_EQ(news_loaded, 1);
}

TEST_F(news_fetch_wine, direct_fetch_with_an_unresolvable_news_host_shows_the_error_text)
{
    news_set_proxy_enable(0);
    news_set_proxy_server("127.0.0.1:9");
    InterlockedExchange(&news_loaded, 1);

    DWORD elapsed = run_fetches(1);
    std::cout << "direct fetch to " << NEWS_HOST << ": " << elapsed << " ms\n";

    expect_error_shown("direct path");
    std::string expected =
        news_log_header() +
        news_log_lines({"Start loggin...", "    Start get_proxy ()", "    RegOpenKeyEx is OK",
                        "    No proxy-server detected or can connect to WWW server directly!"});
    std::string log = news_read_log();
    EXPECT_EQ(log, expected) << "expected:\n" << news_visible(expected) << "\nactual:\n"
                             << news_visible(log);
}

}  // namespace
