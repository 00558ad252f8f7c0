"""Checks of the players' help page doc/help.html, which the launcher's "Help page" button
opens: well-formed HTML5 that needs nothing but itself, and the facts a player looks for.

Run with Debian's Python:  /usr/bin/python3 -m pytest tests/artwork
"""
import html.parser
import os
import re

import pytest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
HELP = os.path.join(ROOT, "doc", "help.html")

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source",
        "track", "wbr"}
SVG_SHAPES = {"path", "circle", "ellipse", "rect", "line", "polygon", "polyline"}


class Checker(html.parser.HTMLParser):
    """Collects tags, ids, links and text, and the nesting errors it meets."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.stack, self.errors, self.ids, self.links, self.tags = [], [], [], [], []
        self.text = []
        self.doctype = None

    def handle_decl(self, decl):
        self.doctype = decl

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self.tags.append((tag, attrs))
        if "id" in attrs:
            self.ids.append(attrs["id"])
        for name in ("href", "src"):
            if name in attrs:
                self.links.append(attrs[name])
        if tag not in VOID:
            self.stack.append((tag, self.getpos()))

    def handle_startendtag(self, tag, attrs):
        if tag not in VOID and tag not in SVG_SHAPES:
            self.errors.append("self-closed <%s/> at %s" % (tag, self.getpos()))
        self.tags.append((tag, dict(attrs)))

    def handle_endtag(self, tag):
        if tag in VOID:
            self.errors.append("end tag of void <%s> at %s" % (tag, self.getpos()))
            return
        if not self.stack or self.stack[-1][0] != tag:
            self.errors.append("</%s> at %s closes %s" % (tag, self.getpos(), self.stack[-1:]))
            return
        self.stack.pop()

    def handle_data(self, data):
        self.text.append(data)


@pytest.fixture(scope="module")
def page():
    with open(HELP, encoding="utf-8") as f:
        source = f.read()
    checker = Checker()
    checker.feed(source)
    checker.close()
    checker.source = source
    checker.plain = re.sub(r"\s+", " ", "".join(checker.text))
    return checker


def test_is_well_formed_html5(page):
    assert page.doctype and page.doctype.lower() == "doctype html"
    assert page.errors == []
    assert page.stack == [], "unclosed: %s" % page.stack
    tags = [t for t, _a in page.tags]
    assert tags[:2] == ["html", "head"] and "body" in tags
    assert any(t == "meta" and a.get("charset", "").lower() == "utf-8" for t, a in page.tags)
    assert ("html", {"lang": "en"}) in page.tags
    assert tags.count("title") == 1 and tags.count("h1") == 1
    assert len(page.ids) == len(set(page.ids)), "duplicate ids"


def test_needs_nothing_but_itself(page):
    tags = {t for t, _a in page.tags}
    assert not tags & {"script", "link", "img", "iframe", "object", "embed"}
    assert "@import" not in page.source and "@font-face" not in page.source
    assert "url(" not in page.source
    for link in page.links:
        assert link.startswith("#"), "external reference %r" % link
        assert link[1:] in page.ids, "link %r has no target" % link


@pytest.mark.parametrize("words", [
    "main menu", "episode chooser", "online community",
    "DirectX 7 or later", "at least 200 MHz",
    "Cannot get DirectX version",
    "Your CPU to old for Bolvo Quest :(",
    "Your CPU speed to low for Bolvo Quest",
    "ERROR: Cannot connect to News server",
    "Internet Explorer proxy settings",
    "bootlog_pd.txt", "qmkx.dat", "delete qmkx.dat",
    "chaptr1.dll", "The Sleepy Meadow", "Castle in the Clouds",
])
def test_tells_the_player(page, words):
    assert words.lower() in page.plain.lower()
