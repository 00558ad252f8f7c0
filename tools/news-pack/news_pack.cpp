// news-pack: turns a news text written in UTF-8 into the reply body the news server sends
// (marker, payload, marker). The launcher shows the news in Windows-1252, so the text is
// converted first and a character that code page cannot hold is refused, naming its line,
// rather than shown wrongly. Usage: news-pack INPUT.txt OUTPUT. Exit status 0 on success,
// 1 when the text is refused or a file cannot be read or written, 2 for wrong usage.
#include <stdio.h>
#include <string.h>

#include <vector>

#include "news/cp1252.h"
#include "news/news_codec.h"

// Room left for the status line and headers of the server's reply: the launcher keeps only
// the first NEWS_REPLY_SIZE bytes of it, and a body cut short loses its closing marker.
static const size_t HEADER_ALLOWANCE = 1024;

static bool read_file(const char* path, std::vector<char>* data)
{
    FILE* f = fopen(path, "rb");
    if (f == NULL)
        return false;
    char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        data->insert(data->end(), chunk, chunk + n);
    bool ok = ferror(f) == 0;
    fclose(f);
    return ok;
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: news-pack INPUT.txt OUTPUT\n"
                        "Packs a UTF-8 news text into the news server's reply body.\n");
        return 2;
    }
    const char* input_path = argv[1];
    const char* output_path = argv[2];

    std::vector<char> utf8;
    if (!read_file(input_path, &utf8)) {
        fprintf(stderr, "news-pack: cannot read %s\n", input_path);
        return 1;
    }

    std::vector<char> text(utf8.size() + 1);
    size_t text_length = 0;
    cp1252_error error;
    if (utf8_to_cp1252(utf8.data(), utf8.size(), text.data(), text.size(), &text_length,
                       &error) != CP1252_OK) {
        char message[256];
        cp1252_describe_error(&error, message, sizeof message);
        fprintf(stderr, "news-pack: %s: %s\n", input_path, message);
        return 1;
    }

    const uint8_t* bytes = (const uint8_t*)text.data();
    size_t body_length = encode_news(bytes, text_length, NULL, 0);
    if (body_length + HEADER_ALLOWANCE > NEWS_REPLY_SIZE) {
        fprintf(stderr,
                "news-pack: %s: the packed news is %zu bytes; at most %zu fit in a reply\n",
                input_path, body_length, NEWS_REPLY_SIZE - HEADER_ALLOWANCE);
        return 1;
    }
    std::vector<char> body(body_length + 1);
    encode_news(bytes, text_length, body.data(), body.size());

    FILE* out = fopen(output_path, "wb");
    if (out == NULL) {
        fprintf(stderr, "news-pack: cannot write %s\n", output_path);
        return 1;
    }
    bool ok = fwrite(body.data(), 1, body_length, out) == body_length;
    ok = fclose(out) == 0 && ok;
    if (!ok) {
        fprintf(stderr, "news-pack: cannot write %s\n", output_path);
        return 1;
    }
    return 0;
}
