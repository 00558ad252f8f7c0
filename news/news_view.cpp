// The news view and its link clicks.
#include "news/news_view.h"

#include <richedit.h>
#include <shellapi.h>
#include <string.h>

#include "news/link_text.h"
#include "news/news_codec.h"
#include "news/news_fetch.h"

HWND news_view;

enum { NEWS_VIEW_X = 48, NEWS_VIEW_Y = 228, NEWS_VIEW_WIDTH = 407, NEWS_VIEW_HEIGHT = 203 };

// The view's handle is read afresh each time: a rebuild after an episode makes a new view. The
// message is sent, so a worker's text changes are carried out on the main thread.
void set_news_text(const char* text)
{
    SendMessageA(news_view, WM_SETTEXT, 0, (LPARAM)text);
}

void create_news_view(HWND parent, HINSTANCE instance, HFONT font)
{
    // Not visible at creation: showing the news page shows it, leaving the page hides it.
    const DWORD style = WS_CHILD | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
                        ES_READONLY | ES_WANTRETURN | ES_DISABLENOSCROLL;
    news_view = CreateWindowExA(0, "RichEdit20A", NULL, style, NEWS_VIEW_X, NEWS_VIEW_Y,
                                NEWS_VIEW_WIDTH, NEWS_VIEW_HEIGHT, parent, NULL, instance, NULL);
    SendMessageA(news_view, EM_AUTOURLDETECT, TRUE, 0);
    SendMessageA(news_view, EM_SETEVENTMASK, 0, ENM_LINK);
    SendMessageA(news_view, WM_SETFONT, (WPARAM)font, TRUE);
    // A view rebuilt after an episode shows the news already fetched instead of waiting for a
    // fetch that will not come.
    set_news_text(news_loaded ? news_text : news_connecting_text);
}

void on_news_view_notify(LPARAM notification)
{
    const NMHDR* header = (const NMHDR*)notification;
    // Only an EN_LINK notification carries the link record read below.
    if (header == NULL || header->code != EN_LINK)
        return;
    const ENLINK* link = (const ENLINK*)notification;
    if (link->msg != WM_LBUTTONDOWN)
        return;
    // The view's character positions are byte offsets of news_text: it holds the same text,
    // with line feeds and no carriage returns.
    char target[NEWS_LINK_SIZE];
    size_t length = strnlen(news_text, NEWS_TEXT_SIZE);
    if (!copy_news_link(news_text, length, link->chrg.cpMin, link->chrg.cpMax, target))
        return;
    if (!is_web_link(target))
        return;
    ShellExecuteA(NULL, "open", target, NULL, NULL, SW_SHOWNORMAL);
}
