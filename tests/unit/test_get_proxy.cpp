// get_proxy against the current user's Internet settings in the registry, set by each test
// and put back afterwards: which values lead to a proxy, the host, port and kind of host it
// returns, and the exact messages it writes to the boot log.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "bootlog/bootlog.h"
#include "news/proxy.h"
#include "news_support.h"

namespace {

const uint16_t PORT_SENTINEL = 0xBEEF;
const int IS_NAME_SENTINEL = 7;

class get_proxy_registry : public ::testing::Test {
protected:
    void SetUp() override
    {
        news_enter_folder(&folder, "proxy");
        news_save_proxy_values(&saved);
        log_create();
    }
    void TearDown() override
    {
        news_restore_proxy_values(&saved);
        news_leave_folder(&folder);
    }

    // Calls get_proxy with a cleared host and sentinel outputs.
    int call()
    {
        memset(host, 0, sizeof(host));
        port = PORT_SENTINEL;
        is_name = IS_NAME_SENTINEL;
        return get_proxy(host, &port, &is_name);
    }

    void expect_log(const std::vector<std::string>& lines, const std::string& what)
    {
        std::string expected = news_log_header() + news_log_lines(lines);
        std::string actual = news_read_log();
        EXPECT_EQ(actual, expected) << what << "\nexpected:\n" << news_visible(expected)
                                    << "\nactual:\n" << news_visible(actual);
    }

    void expect_outputs_untouched(const std::string& what)
    {
        EXPECT_EQ(std::string(host), "") << what;
        EXPECT_EQ(port, PORT_SENTINEL) << what;
        EXPECT_EQ(is_name, IS_NAME_SENTINEL) << what;
    }

    news_folder folder;
    news_proxy_values saved;
    char host[255];
    uint16_t port;
    int is_name;
};

std::string enable_line(int value)
{
    return "    RegQueryValueEx is OK. ProxyEnable is " + std::to_string(value);
}

// The messages of a proxy found: from message 9 to 13.
std::vector<std::string> found_lines(const std::string& server, int start, const std::string& host,
                                     int port)
{
    return {"    RegQueryValueEx is OK. ProxyServer is " + server,
            "    f_pos - " + std::to_string(start), "    Proxy IP/NAME is " + host,
            "    Proxy port is " + std::to_string(port), "    get_proxy () done!"};
}

std::vector<std::string> join(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(get_proxy_registry, no_proxy_without_a_switched_on_server)
{
    struct {
        const char* name;
        int set_enable;   // write ProxyEnable
        DWORD enable;
        const char* server;   // NULL: ProxyServer absent
        std::vector<std::string> lines;
    } cases[] = {
        {"both values missing", 0, 0, NULL,
         {"    RegOpenKeyEx is OK", enable_line(0)}},
        {"ProxyEnable 0", 1, 0, "10.0.0.1:80", {"    RegOpenKeyEx is OK"}},
        {"ProxyEnable 2", 1, 2, "10.0.0.1:80", {"    RegOpenKeyEx is OK"}},
        {"ProxyEnable 1 without a server", 1, 1, NULL,
         {"    RegOpenKeyEx is OK", enable_line(1)}},
    };
    for (const auto& c : cases) {
        log_create();
        if (c.set_enable)
            news_set_proxy_enable(c.enable);
        else
            news_set_value("ProxyEnable", REG_DWORD, NULL, 0);
        if (c.server != NULL)
            news_set_proxy_server(c.server);
        else
            news_set_value("ProxyServer", REG_SZ, NULL, 0);
        EXPECT_EQ(call(), 0) << c.name;
        expect_outputs_untouched(c.name);
        expect_log(c.lines, c.name);
    }
}

TEST_F(get_proxy_registry, server_entries_give_host_port_and_kind)
{
    struct {
        const char* server;
        int start;
        const char* host;
        int port;
        int is_name;
    } cases[] = {
        {"10.0.0.1:80", 0, "10.0.0.1", 80, 0},
        {"ftp=10.0.0.9:21;http=10.0.0.1:81", 21, "10.0.0.1", 81, 0},
        // No http entry: read from the first character, a name that will not resolve.
        {"ftp=10.0.0.9:21", 0, "ftp=10.0.0.9", 21, 1},
        // The http entry has no port: the host runs on to the next ':'.
        {"http=10.0.0.1;ftp=10.0.0.9:21", 5, "10.0.0.1;ftp=10.0.0.9", 21, 0},
        {"proxy.example.net:8080", 0, "proxy.example.net", 8080, 1},
        {"10.0.0.1", 0, "10.0.0.1", 0, 0},
        {"10.0.0.1:70000", 0, "10.0.0.1", 70000 & 0xFFFF, 0},
        {"HTTP=10.0.0.2:82", 0, "HTTP=10.0.0.2", 82, 1},
    };
    news_set_proxy_enable(1);
    for (const auto& c : cases) {
        log_create();
        news_set_proxy_server(c.server);
        EXPECT_EQ(call(), 1) << c.server;
        EXPECT_EQ(std::string(host), c.host) << c.server;
        EXPECT_EQ(port, c.port) << c.server;
        EXPECT_EQ(is_name, c.is_name) << c.server;
        expect_log(join({"    RegOpenKeyEx is OK", enable_line(1)},
                        found_lines(c.server, c.start, c.host, c.port)),
                   c.server);
    }
}

TEST_F(get_proxy_registry, unreadable_proxy_enable_counts_as_switched_on_and_logs_zero)
{
    struct {
        const char* name;
        DWORD type;
        std::vector<BYTE> data;   // empty: value absent
    } cases[] = {
        {"ProxyEnable absent", REG_DWORD, {}},
        {"ProxyEnable of 8 bytes", REG_QWORD, {5, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        log_create();
        news_set_value("ProxyEnable", c.type, c.data.empty() ? NULL : c.data.data(),
                       (DWORD)c.data.size());
        news_set_proxy_server("10.0.0.1:80");
        EXPECT_EQ(call(), 1) << c.name;
        EXPECT_EQ(std::string(host), "10.0.0.1") << c.name;
        EXPECT_EQ(port, 80) << c.name;
        EXPECT_EQ(is_name, 0) << c.name;
        expect_log(join({"    RegOpenKeyEx is OK", enable_line(0)},
                        found_lines("10.0.0.1:80", 0, "10.0.0.1", 80)),
                   c.name);
    }
}

TEST_F(get_proxy_registry, server_text_must_fit_512_bytes_with_its_terminator)
{
    news_set_proxy_enable(1);

    // 512 characters need 513 bytes: not read.
    std::string too_long(512, 'a');
    news_set_proxy_server(too_long.c_str());
    EXPECT_EQ(call(), 0) << "512-character server";
    expect_outputs_untouched("512-character server");
    expect_log({"    RegOpenKeyEx is OK", enable_line(1)}, "512-character server");

    // 511 characters fit; the host is cut to the 254 characters the caller's buffer holds
    // with its zero byte.
    log_create();
    std::string longest = std::string(300, 'a') + ":" + std::string(210, '9');
    ASSERT_EQ(longest.size(), 511u);
    news_set_proxy_server(longest.c_str());
    EXPECT_EQ(call(), 1) << "511-character server";
    std::string cut(254, 'a');
    EXPECT_EQ(std::string(host), cut);
    EXPECT_EQ(host[254], 0) << "the last byte of the buffer stays the terminator";
    // 210 nines saturate at the largest 32-bit number, whose low 16 bits are 0xFFFF.
    EXPECT_EQ(port, 0xFFFF);
    EXPECT_EQ(is_name, 1);
    expect_log(join({"    RegOpenKeyEx is OK", enable_line(1)},
                    found_lines(longest, 0, cut, 0xFFFF)),
               "511-character server");
}

TEST_F(get_proxy_registry, missing_settings_key_gives_no_proxy_and_no_message)
{
    // HKEY_CURRENT_USER of this process is pointed at an empty key of its own, so the user's
    // settings are not touched.
    const char* empty_path = "Software\\BolvoQuestTests\\EmptyUser";
    HKEY empty = NULL;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, empty_path, 0, NULL, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, NULL, &empty, NULL),
              ERROR_SUCCESS);
    LONG overridden = RegOverridePredefKey(HKEY_CURRENT_USER, empty);
    if (overridden != ERROR_SUCCESS) {
        RegCloseKey(empty);
        RegDeleteKeyA(HKEY_CURRENT_USER, empty_path);
        GTEST_SKIP() << "RegOverridePredefKey is not available: " << overridden;
    }
    int result = call();
    RegOverridePredefKey(HKEY_CURRENT_USER, NULL);
    RegCloseKey(empty);
    RegDeleteKeyA(HKEY_CURRENT_USER, empty_path);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\BolvoQuestTests");

    EXPECT_EQ(result, 0);
    expect_outputs_untouched("no settings key");
    expect_log({}, "no settings key");
}

}  // namespace
