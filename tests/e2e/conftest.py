"""End-to-end harness: the real launcher under Wine in a virtual display, driven with the mouse
(xdotool) and observed from outside: its windows (through winprobe.exe, a small Windows tool run
in the same Wine session), the screen's pixels, the files it writes and its exit code.

scripts/test builds everything first and sets DISPLAY; run alone, the harness starts Xvfb.
"""
import io
import os
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

import pytest
from PIL import Image

ROOT = Path(__file__).resolve().parents[2]
BUILD = ROOT / "build"
WIN_BUILD = Path(os.environ.get("BOLVO_WIN_BUILD", BUILD / "win"))
GAME = Path(os.environ.get("BOLVO_GAME", BUILD / "game"))
WINPROBE = WIN_BUILD / "e2e" / "winprobe.exe"
RECORDER = WIN_BUILD / "e2e" / "recorder.exe"
FIXTURES = WIN_BUILD / "fixtures"
SCREENSHOTS = BUILD / "screenshots"
BASE_PREFIX = BUILD / "wine" / "base"

TITLE = "Bolvo Quest"
CLASS = "KX"
GAME_WINDOW = "Bolvo quest."


def poll(check, timeout=60.0, interval=0.1):
    """Calls check until it returns something true, up to timeout seconds; returns that value
    or None."""
    deadline = time.monotonic() + timeout
    while True:
        value = check()
        if value:
            return value
        if time.monotonic() >= deadline:
            return None
        time.sleep(interval)


def z_path(path):
    """A Linux path as Wine's Z: drive names it."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


class Wine:
    """One Wine prefix with a persistent wineserver, for the whole test session."""

    def __init__(self, prefix):
        self.prefix = prefix
        self.env = dict(os.environ, WINEPREFIX=str(prefix), WINEDEBUG="-all")

    def run(self, *args, env=None, timeout=60, cwd=None):
        return subprocess.run(["wine", *map(str, args)], env=env or self.env, cwd=cwd,
                              capture_output=True, text=True, timeout=timeout,
                              encoding="cp1252", errors="replace",
                              stdin=subprocess.DEVNULL)

    def start(self, *args, cwd=None, env_extra=None):
        env = dict(self.env, **(env_extra or {}))
        return subprocess.Popen(["wine", *map(str, args)], env=env, cwd=cwd,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def reg_add(self, key, name, kind, data):
        result = self.run("reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f")
        assert result.returncode == 0, result.stderr

    def reg_delete(self, key, name):
        self.run("reg", "delete", key, "/v", name, "/f")

    def probe(self, *args, timeout=60):
        return self.run(WINPROBE, *args, timeout=timeout)

    def window_rect(self, window_class=CLASS, title=TITLE):
        result = self.probe("find", window_class, title)
        if result.returncode != 0:
            return None
        return tuple(int(v) for v in result.stdout.split())

    def window_count(self, window_class=CLASS, title=TITLE):
        return int(self.probe("count", window_class, title).stdout.strip() or 0)


@pytest.fixture(scope="session")
def display():
    if os.environ.get("DISPLAY"):
        yield os.environ["DISPLAY"]
        return
    n = 150
    while Path(f"/tmp/.X{n}-lock").exists():
        n += 1
    xvfb = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.environ["DISPLAY"] = f":{n}"
    assert poll(lambda: subprocess.run(["xdpyinfo"], capture_output=True).returncode == 0, 10)
    yield os.environ["DISPLAY"]
    xvfb.kill()
    xvfb.wait()


@pytest.fixture(scope="session")
def wine(display, tmp_path_factory):
    assert (BASE_PREFIX / ".bolvo-ready").exists(), "run scripts/test: it boots the Wine prefix"
    prefix = Path(os.environ.get("BOLVO_E2E_PREFIX", BUILD / "wine" / "e2e"))
    shutil.rmtree(prefix, ignore_errors=True)
    shutil.copytree(BASE_PREFIX, prefix, symlinks=True)
    w = Wine(prefix)
    subprocess.run(["wineserver", "-p"], env=w.env, check=True)
    # Wine's background services inherit the first program's output: start them detached.
    subprocess.run(["wine", "cmd.exe", "/c", "exit"], env=w.env, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # The shell hands web links and HTML files to the recorder instead of a browser.
    log = tmp_path_factory.mktemp("shell") / "opened.txt"
    command = f'"{z_path(RECORDER)}" "{z_path(log)}" "%1"'
    # This prefix was booted without the HTML engine, which is what maps .html to htmlfile.
    assert w.run("reg", "add", r"HKCR\.html", "/ve", "/t", "REG_SZ", "/d", "htmlfile",
                 "/f").returncode == 0
    for key in (r"HKCR\htmlfile\shell\open\command", r"HKCR\http\shell\open\command",
                r"HKCR\https\shell\open\command"):
        assert w.run("reg", "add", key, "/ve", "/t", "REG_SZ", "/d", command, "/f").returncode == 0
    w.opened_log = log
    yield w
    subprocess.run(["wineserver", "-k"], env=w.env)


def screenshot():
    data = subprocess.run(["import", "-window", "root", "png:-"], capture_output=True,
                          check=True).stdout
    return Image.open(io.BytesIO(data)).convert("RGB")


def save_screenshot(name, image=None, box=None):
    SCREENSHOTS.mkdir(parents=True, exist_ok=True)
    image = image or screenshot()
    if box:
        image = image.crop(box)
    image.save(SCREENSHOTS / f"{name}.png")


def bitmap(name):
    return Image.open(ROOT / "resources" / "bitmaps" / name).convert("RGB")


def mouse(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


class Launcher:
    """A launcher process started in its own working directory."""

    def __init__(self, wine, directory, env_extra=None):
        self.wine = wine
        self.directory = directory
        self.process = wine.start("launcher.exe", cwd=directory, env_extra=env_extra)
        self.rect = None

    def wait_window(self, timeout=60):
        self.rect = poll(lambda: self.wine.window_rect(), timeout, 0.2)
        assert self.rect, "the launcher window did not appear"
        return self.rect

    def wait_exit(self, timeout=60):
        return self.process.wait(timeout=timeout)

    def at(self, x, y):
        """Screen position of window point (x, y)."""
        rect = self.wine.window_rect() or self.rect
        return rect[0] + x, rect[1] + y

    def move_to(self, x, y):
        mouse("mousemove", *self.at(x, y))

    def click(self, x, y):
        mouse("mousemove", *self.at(x, y))
        mouse("click", "1")

    def crop(self, image, x, y, width, height):
        left, top = self.at(x, y)
        return image.crop((left, top, left + width, top + height))

    def wait_crop(self, x, y, expected, timeout=30):
        """Polls the screen until the window area at (x, y) shows exactly the expected image."""
        def matches():
            return self.crop(screenshot(), x, y, *expected.size).tobytes() == expected.tobytes()
        return poll(matches, timeout, 0.2)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


@pytest.fixture
def play_dir(tmp_path):
    """A copy of the game folder without episode modules, as the launcher's working directory."""
    directory = tmp_path / "game"
    shutil.copytree(GAME, directory, ignore=shutil.ignore_patterns("chaptr*.dll"))
    return directory


@pytest.fixture
def launch(wine):
    started = []

    def start(directory, env_extra=None):
        launcher = Launcher(wine, directory, env_extra)
        started.append(launcher)
        return launcher

    yield start
    for launcher in started:
        launcher.stop()
    # Nothing of this test may stay behind for the next one.
    assert poll(lambda: wine.window_count() == 0 and wine.window_count(GAME_WINDOW, GAME_WINDOW) == 0, 30)
    mouse("mousemove", 1000, 10)
