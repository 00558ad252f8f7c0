// Tests of the boot log file: the header, line ends or none, appending across calls, a fresh
// log on every create, and silent skipping when the file cannot be opened. Natively the text
// mode writes plain LF line ends.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "bootlog/bootlog.h"

namespace {

class BootLog : public ::testing::Test {
protected:
    void SetUp() override
    {
        old_dir_ = std::filesystem::current_path();
        std::random_device rd;
        dir_ = std::filesystem::temp_directory_path() /
               ("bolvo-bootlog-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
    }
    void TearDown() override
    {
        std::filesystem::current_path(old_dir_);
        std::filesystem::remove_all(dir_);
    }
    static std::string contents()
    {
        std::ifstream in("bootlog_pd.txt", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::filesystem::path old_dir_;
    std::filesystem::path dir_;
};

const std::string RULE = "//" + std::string(77, '-');
const std::string HEADER = RULE + "\n// This logfile was created by D3D8 test \n" +
                           LOG_HEADER_NOTICE + "\n" + RULE + "\n";

TEST_F(BootLog, CreateWritesTheFourHeaderLines)
{
    log_create();
    EXPECT_EQ(contents(), HEADER);
    const std::string notice = LOG_HEADER_NOTICE;
    EXPECT_EQ(notice.substr(0, 3), "// ");
    EXPECT_EQ(notice.back(), ' ');
    EXPECT_NE(notice[notice.size() - 2], ' ');
    EXPECT_EQ(RULE.size(), 79u);
}

TEST_F(BootLog, LinesWithAndWithoutLineEnd)
{
    log_create();
    log_line(LOG_START, 1);
    log_line(LOG_DATA_BLOCK_START, 1);
    log_line("H", 0);
    log_line("i", 0);
    log_line("", 0);   // a received zero byte writes nothing
    log_line("\n", 0);
    log_line(LOG_DATA_BLOCK_END, 1);
    log_line(LOG_RECEIVE_DONE, 1);
    log_line(LOG_ENCODE_TEXT, 1);
    log_close();
    EXPECT_EQ(contents(), HEADER +
                              "Start loggin...\n"
                              "    +++ Data Block start +++\n"
                              "Hi\n"
                              "    +++ Data Block End +++\n"
                              "    Receive Data  Done\n"
                              "\n"
                              "    Encode text...\n");
}

TEST_F(BootLog, EveryCreateStartsAfresh)
{
    log_create();
    log_line("first fetch", 1);
    log_create();
    log_line("second fetch", 1);
    EXPECT_EQ(contents(), HEADER + "second fetch\n");
}

TEST_F(BootLog, LineWithoutCreateAppendsToWhatIsThere)
{
    { std::ofstream("bootlog_pd.txt") << "older\n"; }
    log_line("newer", 1);
    EXPECT_EQ(contents(), "older\nnewer\n");
}

TEST_F(BootLog, FormatsAreNotInterpreted)
{
    log_create();
    log_line("100% %s %d", 1);
    log_line("%n%c", 0);
    EXPECT_EQ(contents(), HEADER + "100% %s %d\n%n%c");
}

TEST_F(BootLog, CloseLeavesOtherFilesAlone)
{
    FILE* other = fopen("other.txt", "w");
    ASSERT_NE(other, nullptr);
    log_create();
    log_line("x", 1);
    log_close();
    EXPECT_GE(fputs("still open", other), 0);
    EXPECT_EQ(fclose(other), 0);
    std::ifstream in("other.txt");
    std::string written;
    std::getline(in, written);
    EXPECT_EQ(written, "still open");
    EXPECT_EQ(contents(), HEADER + "x\n");
}

TEST_F(BootLog, UnopenableFileIsSkipped)
{
    // A directory in the file's place makes every open fail.
    std::filesystem::create_directory("bootlog_pd.txt");
    log_create();
    log_line("lost", 1);
    log_close();
    EXPECT_TRUE(std::filesystem::is_directory("bootlog_pd.txt"));
    EXPECT_TRUE(std::filesystem::is_empty("bootlog_pd.txt"));
}

TEST(BootLogTable, MessagesInFetchOrder)
{
    for (int32_t i = 0; i < LOG_MESSAGE_COUNT; i++) {
        const log_message& m = log_messages[i];
        SCOPED_TRACE(m.number);
        EXPECT_EQ(m.number, i + 1);
        const std::string text = m.text;
        const bool plain = m.number <= 5 || m.number == 19 || m.number == 26;
        EXPECT_EQ(text.compare(0, 4, "    ") == 0, !plain) << text;
        EXPECT_EQ(m.end_line, m.number == 19 ? 0 : 1);
        char formatted[LOG_MESSAGE_MAX];
        EXPECT_LT(snprintf(formatted, sizeof formatted, "%s", m.text), LOG_MESSAGE_MAX);
    }
    EXPECT_STREQ(log_messages[3].text, log_messages[0].text);
    EXPECT_STREQ(log_messages[20].text, "    Receive Data  Done\n");
}

}  // namespace
