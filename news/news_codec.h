// The news payload: the news server sends the news text between two markers, written in a
// 62-symbol alphabet with four symbols for every three bytes (the bit layout of Base64).
// decode_news turns a server reply back into the text the news view shows; encode_news is
// its inverse, used by the publishing tool to produce a reply body for any byte string.
#ifndef BOLVO_NEWS_NEWS_CODEC_H
#define BOLVO_NEWS_NEWS_CODEC_H

#include <stddef.h>
#include <stdint.h>

constexpr size_t NEWS_TEXT_SIZE = 65536;
// Largest reply the fetch keeps (its receive buffer holds one zero byte more).
constexpr size_t NEWS_REPLY_SIZE = 65536;
constexpr size_t NEWS_MARKER_LENGTH = 8;
constexpr size_t NEWS_ALPHABET_SIZE = 62;

extern const char news_marker[NEWS_MARKER_LENGTH + 1];      // "+-+-+-+-"
extern const char news_alphabet[NEWS_ALPHABET_SIZE + 1];    // 0-9, a-z, A-Z

// The decoded news text shared with the news view; written by decode_news (and by the fetch
// worker, which copies its error text here when a fetch fails).
extern char news_text[NEWS_TEXT_SIZE];

// Finds the payload in the zero-terminated reply (status line and headers included): it starts
// after the first marker and ends before the next one, or is empty without a second marker.
// Pass 1 replaces each payload byte in place by its symbol value (a byte outside the alphabet
// counts as 0); pass 2 unpacks every complete group of four symbols into three bytes, drops
// every carriage return (13) and writes the bytes and a zero byte to news_text. Logs both
// passes with log_line. Returns STATUS_S_OK, or STATUS_E_FAIL when the reply holds no marker,
// in which case nothing is written at all. Allocates nothing. Bytes outside the payload are
// left as they were. Output is capped at NEWS_TEXT_SIZE - 1 bytes, which a reply of at most
// NEWS_REPLY_SIZE bytes never reaches (its longest payload decodes to 49,140 bytes).
int32_t decode_news(char* reply);

// Upper bound of the reply body that encode_news writes for len input bytes, without its zero
// byte: both markers plus one group of four symbols per input byte.
size_t encode_news_bound(size_t len);

// Writes the reply body for the len bytes at data: marker, payload, marker. decode_news turns
// that body back into the same bytes with every carriage return removed. Works like snprintf:
// returns the body's full length (no zero byte counted) and writes at most out_size bytes,
// the last of them a zero byte; the body is complete when the result is below out_size.
size_t encode_news(const uint8_t* data, size_t len, char* out, size_t out_size);

#endif
