"""The online community page against a real web server: nginx on loopback serves the packed news,
reached through the proxy settings of the prefix's user, as a player behind a proxy reaches it.
The boot log, the view's text, links pressed with the real pointer, and the error path."""
import os
import re
import shutil
import socket
import subprocess
from pathlib import Path

import pytest

from conftest import BUILD, CLASS, ROOT, TITLE, bitmap, poll, save_screenshot, screenshot

NATIVE_BUILD = Path(os.environ.get("BOLVO_NATIVE_BUILD", BUILD / "native"))
NEWS_PACK = NATIVE_BUILD / "tools" / "news-pack" / "news-pack"
INTERNET_SETTINGS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings"
VIEW = "RichEdit20A"
HOST = "news.bolvoquest.example"
ERROR_TEXT = ("\n\n\n\n\n                ERROR: Cannot connect to News server\n"
              f"       Visit our site {HOST} for more information.")

HEADER = (b"//" + b"-" * 77 + b"\r\n"
          b"// This logfile was created by D3D8 test \r\n")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


@pytest.fixture
def news_server(tmp_path):
    """Starts nginx serving a news text given as UTF-8; yields (port, packed body)."""
    started = []

    def start(text):
        source = tmp_path / "news.txt"
        source.write_text(text, encoding="utf-8")
        packed = tmp_path / "news.packed"
        subprocess.run([NEWS_PACK, source, packed], check=True)
        port = free_port()
        pid = subprocess.run([ROOT / "server" / "start-news-server", str(port),
                              tmp_path / "nginx", packed],
                             check=True, capture_output=True, text=True).stdout.strip()
        started.append(int(pid))
        return port, packed.read_bytes()

    yield start
    for pid in started:
        os.kill(pid, 15)


def use_proxy(wine, server):
    wine.reg_add(INTERNET_SETTINGS, "ProxyEnable", "REG_DWORD", "1")
    wine.reg_add(INTERNET_SETTINGS, "ProxyServer", "REG_SZ", server)


def view_text(wine):
    result = wine.probe("text", CLASS, TITLE, VIEW)
    # The view hands out its paragraph breaks as CR LF.
    return result.stdout.replace("\r\n", "\n") if result.returncode == 0 else None


def open_news_page(launcher):
    launcher.click(250, 300)  # "Online community"
    assert launcher.wait_crop(40, 165, bitmap("title_community_181.bmp").crop((0, 0, 423, 60)))


def received_blocks(log):
    """The data blocks of a boot log: what each receive call delivered, as stored."""
    return re.findall(rb"    \+\+\+ Data Block start \+\+\+\r\n(.*?)    \+\+\+ Data Block End \+\+\+\r\n",
                      log, re.S)


def expected_log(port, blocks):
    """The whole boot log of a successful fetch through the proxy at 127.0.0.1:port."""
    lines = [b"Start loggin...", b"    Start get_proxy ()", b"    RegOpenKeyEx is OK",
             b"    RegQueryValueEx is OK. ProxyEnable is 1",
             b"    RegQueryValueEx is OK. ProxyServer is 127.0.0.1:%d" % port,
             b"    f_pos - 0", b"    Proxy IP/NAME is 127.0.0.1", b"    Proxy port is %d" % port,
             b"    get_proxy () done!", b"    Get proxy IP done (16777343)", b"    Connect Done",
             b"    Send Done"]
    text = HEADER + b"// " + b"\r\n".join(lines) + b"\r\n"
    return text, lines


DEMO = (ROOT / "server" / "news" / "demo-news.txt").read_text(encoding="utf-8")


def test_the_news_arrives_through_the_proxy_and_the_log_records_the_fetch(
        wine, launch, play_dir, news_server):
    port, packed = news_server(DEMO)
    use_proxy(wine, f"127.0.0.1:{port}")
    launcher = launch(play_dir)
    launcher.wait_window()
    open_news_page(launcher)
    shown = poll(lambda: (t := view_text(wine)) and "Bolvo" in t and t, 60)
    assert shown, view_text(wine)
    assert shown == DEMO.encode("cp1252").decode("cp1252", "replace").replace("\r", "")
    launcher.move_to(470, 20)
    save_screenshot("news_page_with_news", box=(launcher.rect[0], launcher.rect[1],
                                                launcher.rect[0] + 533, launcher.rect[1] + 488))

    log = (play_dir / "bootlog_pd.txt").read_bytes()
    assert log.startswith(HEADER)
    lines = log.split(b"\r\n")
    assert lines[2].startswith(b"// ") and lines[3] == b"//" + b"-" * 77
    _, expected = expected_log(port, [])
    assert lines[4:4 + len(expected)] == expected
    assert b"No proxy-server detected" not in log
    blocks = received_blocks(log)
    assert blocks, "no data block"
    # Text mode stored every received line feed as CR LF.
    reply = b"".join(blocks).replace(b"\r\n", b"\n")
    assert reply.startswith(b"HTTP/1.1 200 OK\r\n")
    assert reply.endswith(packed)
    # The blocks follow each other, and the last one is the empty read of the closed connection.
    assert blocks[-1] == b""
    tail = log[log.rindex(b"    +++ Data Block End +++\r\n") + 28:]
    assert tail == (b"    Receive Data  Done\r\n\r\n    Encode text...\r\n"
                    b"    Encode text - pass 1 done...\r\n    Encode text - pass 2 done...\r\n"
                    b"    Done\r\nClosing log file\r\n")

    # Back and in again: the news stays and no second fetch starts.
    before = (play_dir / "bootlog_pd.txt").stat().st_mtime_ns
    launcher.click(60, 455)  # "Back"
    assert launcher.wait_crop(137, 165, bitmap("title_main_160.bmp"))
    open_news_page(launcher)
    assert view_text(wine) == shown
    assert (play_dir / "bootlog_pd.txt").stat().st_mtime_ns == before


def test_an_unreachable_server_shows_the_error_and_the_next_visit_tries_again(
        wine, launch, play_dir, news_server):
    closed = free_port()
    use_proxy(wine, f"127.0.0.1:{closed}")
    launcher = launch(play_dir)
    launcher.wait_window()
    open_news_page(launcher)
    assert poll(lambda: view_text(wine) and "ERROR" in view_text(wine), 60)
    assert view_text(wine) == ERROR_TEXT
    save_screenshot("news_page_error", box=(launcher.rect[0], launcher.rect[1],
                                            launcher.rect[0] + 533, launcher.rect[1] + 488))
    log = (play_dir / "bootlog_pd.txt").read_bytes()
    assert log.endswith(b"    Get proxy IP done (16777343)\r\n"), log[-200:]

    # The server comes up; the next visit to the page fetches again and succeeds.
    port, _ = news_server(DEMO)
    use_proxy(wine, f"127.0.0.1:{port}")
    launcher.click(60, 455)  # "Back"
    assert launcher.wait_crop(137, 165, bitmap("title_main_160.bmp"))
    open_news_page(launcher)
    assert poll(lambda: view_text(wine) and "Bolvo" in view_text(wine), 60)


def click_link(wine, text, link):
    index = text.index(link)
    result = wine.probe("charpos", CLASS, TITLE, VIEW, str(index + 2))
    x, y = (int(v) for v in result.stdout.split())
    subprocess.run(["xdotool", "mousemove", str(x + 1), str(y + 6), "click", "1"], check=True)


def test_pressing_a_web_link_opens_it_but_other_links_are_not_handed_over(
        wine, launch, play_dir, news_server, tmp_path):
    target = tmp_path / "page.html"
    target.write_text("<p>not to be opened</p>")
    local = "file:///Z:" + str(target).replace("\\", "/")
    web = "http://www.bolvoquest.example/news/spring"
    port, _ = news_server(f"Local: {local}\n\nWeb: {web}\n")
    use_proxy(wine, f"127.0.0.1:{port}")
    wine.opened_log.write_text("")
    launcher = launch(play_dir)
    launcher.wait_window()
    open_news_page(launcher)
    text = poll(lambda: (t := view_text(wine)) and web in t and t, 60)
    assert text

    click_link(wine, text, local)
    click_link(wine, text, web)
    assert poll(lambda: wine.opened_log.read_text().strip(), 30) == web
    assert wine.opened_log.read_text() == web + "\n"


LOCALHOST_BUILD = Path(os.environ.get("BOLVO_LOCALHOST_BUILD", BUILD / "win-localhost"))


def port_80_free():
    try:
        with socket.socket() as s:
            s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
            s.bind(("127.0.0.1", 80))
        return True
    except OSError:
        return False


def test_without_a_proxy_the_news_comes_straight_from_the_news_host(
        wine, launch, play_dir, tmp_path):
    """A launcher built with NEWS_HOST=localhost against nginx on port 80 of loopback."""
    launcher_exe = LOCALHOST_BUILD / "bin" / "launcher.exe"
    if not launcher_exe.exists():
        pytest.skip(f"{launcher_exe} was not built (scripts/test builds it)")
    if not port_80_free():
        pytest.skip("port 80 of 127.0.0.1 cannot be bound here")
    source = tmp_path / "news.txt"
    source.write_text(DEMO, encoding="utf-8")
    packed = tmp_path / "news.packed"
    subprocess.run([NEWS_PACK, source, packed], check=True)
    pid = int(subprocess.run([ROOT / "server" / "start-news-server", "80", tmp_path / "nginx",
                              packed], check=True, capture_output=True, text=True).stdout)
    try:
        wine.reg_add(INTERNET_SETTINGS, "ProxyEnable", "REG_DWORD", "0")
        shutil.copy(launcher_exe, play_dir / "launcher.exe")
        launcher = launch(play_dir)
        launcher.wait_window()
        open_news_page(launcher)
        assert poll(lambda: (t := view_text(wine)) and "Bolvo" in t, 60), view_text(wine)
        log = (play_dir / "bootlog_pd.txt").read_bytes()
        assert (b"    Start get_proxy ()\r\n    RegOpenKeyEx is OK\r\n"
                b"    No proxy-server detected or can connect to WWW server directly!\r\n"
                b"    Connect Done\r\n    Send Done\r\n") in log
        assert log.endswith(b"    Done\r\nClosing log file\r\n")
        access = (tmp_path / "nginx" / "logs" / "access.log").read_text()
        assert '"GET /bolvo/news/getnews.cgi HTTP/1.0"' in access, access
    finally:
        os.kill(pid, 15)
