// The boot log's bytes on Windows, where the text mode stores every line feed as CR LF: the
// header, messages with and without line ends, received bytes as the fetch logs them (a CR LF
// pair becomes CR CR LF, a zero byte writes nothing), the empty line after "Receive Data
// Done", and a fresh log on every create.
#include <gtest/gtest.h>

#include <stdio.h>

#include "bootlog/bootlog.h"
#include "news_support.h"

namespace {

class bootlog_wine : public ::testing::Test {
protected:
    void SetUp() override { news_enter_folder(&folder, "bootlog"); }
    void TearDown() override { news_leave_folder(&folder); }
    news_folder folder;
};

// Logs the bytes as the fetch does: one "%c" message per byte, no line end.
void log_bytes(const char* bytes, size_t count)
{
    for (size_t i = 0; i < count; i++) {
        char message[2];
        snprintf(message, sizeof(message), LOG_FMT_RECEIVED_BYTE, bytes[i]);
        log_line(message, 0);
    }
}

TEST_F(bootlog_wine, header_lines_end_in_cr_lf)
{
    log_create();
    std::string expected = std::string(LOG_HEADER_RULE) + "\r\n" + LOG_HEADER_LEGACY + "\r\n" +
                           LOG_HEADER_NOTICE + "\r\n" + LOG_HEADER_RULE + "\r\n";
    std::string actual = news_read_log();
    EXPECT_EQ(actual, expected) << "expected:\n" << news_visible(expected) << "\nactual:\n"
                                << news_visible(actual);
    EXPECT_EQ(strlen(LOG_HEADER_RULE), 79u);
}

TEST_F(bootlog_wine, received_bytes_are_stored_in_text_mode)
{
    struct {
        const char* name;
        std::string received;
        std::string stored;
    } cases[] = {
        {"CR LF pair", std::string("a\r\nb", 4), "a\r\r\nb"},
        {"lone line feed", std::string("\n", 1), "\r\n"},
        {"zero byte", std::string("x\0y", 3), "xy"},
        {"only zero bytes", std::string("\0\0", 2), ""},
        {"high byte", std::string("\xe9", 1), "\xe9"},
    };
    // One message per byte, and the whole block written at once, store the same bytes.
    for (int whole_block = 0; whole_block <= 1; whole_block++) {
        for (const auto& c : cases) {
            log_create();
            log_line(LOG_DATA_BLOCK_START, 1);
            if (whole_block)
                log_received_bytes(c.received.data(), c.received.size());
            else
                log_bytes(c.received.data(), c.received.size());
            log_line(LOG_DATA_BLOCK_END, 1);
            std::string expected = news_log_header() + LOG_DATA_BLOCK_START + "\r\n" +
                                   c.stored + LOG_DATA_BLOCK_END + "\r\n";
            std::string actual = news_read_log();
            EXPECT_EQ(actual, expected) << c.name << (whole_block ? " (block)" : " (bytes)")
                                        << "\nexpected:\n" << news_visible(expected)
                                        << "\nactual:\n" << news_visible(actual);
        }
    }
}

TEST_F(bootlog_wine, a_block_of_every_byte_value_is_stored_as_byte_messages_store_it)
{
    std::string every;
    for (int round = 0; round < 2; round++)
        for (int b = 0; b < 256; b++)
            every.push_back((char)b);
    log_create();
    log_bytes(every.data(), every.size());
    std::string by_bytes = news_read_log();
    log_create();
    log_received_bytes(every.data(), every.size());
    std::string by_block = news_read_log();
    EXPECT_EQ(by_block, by_bytes) << "block:\n" << news_visible(by_block) << "\nbytes:\n"
                                  << news_visible(by_bytes);
}

TEST_F(bootlog_wine, message_without_line_end_is_followed_on_the_same_line)
{
    log_create();
    log_line("    first", 0);
    log_line("    second", 1);
    log_line(LOG_RECEIVE_DONE, 1);
    log_line(LOG_ENCODE_TEXT, 1);
    log_close();
    std::string expected = news_log_header() + "    first    second\r\n" +
                           "    Receive Data  Done\r\n\r\n" + "    Encode text...\r\n";
    std::string actual = news_read_log();
    EXPECT_EQ(actual, expected) << "expected:\n" << news_visible(expected) << "\nactual:\n"
                                << news_visible(actual);
}

TEST_F(bootlog_wine, every_create_starts_a_fresh_log)
{
    log_create();
    log_line(LOG_START, 1);
    log_line("    from the first fetch", 1);
    log_create();
    log_line(LOG_START, 1);
    std::string expected = news_log_header() + "Start loggin...\r\n";
    std::string actual = news_read_log();
    EXPECT_EQ(actual, expected) << "expected:\n" << news_visible(expected) << "\nactual:\n"
                                << news_visible(actual);
}

}  // namespace
