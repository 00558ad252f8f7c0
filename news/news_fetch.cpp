// The news fetch worker.
#include "news/news_fetch.h"

volatile LONG news_loaded;

const char news_connecting_text[] =
    "\n\n\n\n\n\n\t   Connecting to Game site.. Please wait... ";

HRESULT start_news_fetch(void)
{
    // The worker comes with the news fetch; until then entering the news page starts nothing.
    return S_OK;
}
