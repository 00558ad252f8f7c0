// The news view: a read-only Rich Edit control on the news page whose detected links open in
// the browser when pressed.
#pragma once

#include <windows.h>

extern HWND news_view;

void create_news_view(HWND parent, HINSTANCE instance, HFONT font);
void set_news_text(const char* text);
// WM_NOTIFY of the launcher window: a press on a link opens it.
void on_news_view_notify(LPARAM notification);
