"""The two release packages scripts/package builds: the installer, run silently in a fresh Wine
prefix, installs the game for the current user, and its launcher runs from the install folder;
its uninstaller takes everything away again. The zip unpacks to a folder the game plays from."""
import re
import shutil
import struct
import subprocess
import zipfile
from pathlib import Path

import pytest

from conftest import (BASE_PREFIX, BUILD, GAME, GAME_WINDOW, ROOT, Launcher, Wine, mouse, poll,
                      screenshot)

EMPTY_SPOT = (470, 420)  # over no hotspot of any page

VERSION = re.search(r"project\(BolvoQuest VERSION ([0-9.]+)",
                    (ROOT / "CMakeLists.txt").read_text()).group(1)
NAME = f"BolvoQuest-{VERSION}"
SETUP = BUILD / "package" / f"{NAME}-setup.exe"
ZIP = BUILD / "package" / f"{NAME}-win64.zip"

GAME_FILES = {"launcher.exe", "chaptr1.dll", "chaptr2.dll", "chaptr3.dll", "chaptr4.dll",
              "chaptr5.dll", "doc/help.html"}
WRITTEN_BY_LAUNCHER = {"qmkx.dat", "qmkx.dat.tmp", "bootlog_pd.txt"}
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\BolvoQuest"


def needs(package):
    return pytest.mark.skipif(not package.exists(),
                              reason=f"{package.relative_to(ROOT)} not built: run scripts/package")


def files_under(directory):
    return {p.relative_to(directory).as_posix() for p in directory.rglob("*") if p.is_file()}


def read_shortcut(path):
    """The target (LinkInfo's local base path), working directory and icon location of a .lnk."""
    data = path.read_bytes()
    assert struct.unpack_from("<I", data, 0)[0] == 0x4C, "not a shell link"
    flags = struct.unpack_from("<I", data, 0x14)[0]
    pos = 0x4C
    if flags & 0x01:  # HasLinkTargetIDList
        pos += 2 + struct.unpack_from("<H", data, pos)[0]
    target = None
    if flags & 0x02:  # HasLinkInfo
        size, header_size, _, _, base_offset = struct.unpack_from("<5I", data, pos)
        if header_size >= 0x24:
            unicode_offset = struct.unpack_from("<I", data, pos + 0x1C)[0]
            end = data.index(b"\0\0", pos + unicode_offset)
            end += (end - pos - unicode_offset) % 2
            target = data[pos + unicode_offset:end].decode("utf-16-le")
        else:
            end = data.index(b"\0", pos + base_offset)
            target = data[pos + base_offset:end].decode("cp1252")
        pos += size
    unicode = bool(flags & 0x80)
    strings = {}
    # StringData comes in this order, each only when its flag is set.
    for name, bit in (("name", 0x04), ("relative", 0x08), ("workdir", 0x10), ("args", 0x20),
                      ("icon", 0x40)):
        if flags & bit:
            count = struct.unpack_from("<H", data, pos)[0]
            width = 2 if unicode else 1
            raw = data[pos + 2:pos + 2 + count * width]
            # Some writers count the terminating null too.
            strings[name] = raw.decode("utf-16-le" if unicode else "cp1252").rstrip("\0")
            pos += 2 + count * width
    return target, strings.get("workdir"), strings.get("icon")


def reg_values(wine, key):
    """The values of a registry key as {name: data}, or None when the key does not exist."""
    result = wine.run("reg", "query", key)
    if result.returncode != 0:
        return None
    values = {}
    for line in result.stdout.splitlines():
        match = re.match(r"\s+(\S+)\s+(REG_\w+)\s+(.*)$", line)
        if match:
            values[match.group(1)] = match.group(3).strip()
    return values


def title(launcher):
    return launcher.crop(screenshot(), 40, 165, 423, 60).tobytes()


def stable_title(launcher, unlike=None):
    """The page title once drawn: two looks in a row the same, and unlike the previous page's."""
    seen = [None]

    def settled():
        now = title(launcher)
        same = now == seen[0] and now != unlike and len(set(now)) > 3
        seen[0] = now
        return now if same else None
    value = poll(settled, 30, 0.3)
    assert value, "the page did not settle"
    return value


@pytest.fixture
def fresh_wine(display, tmp_path):
    """A fresh copy of the booted prefix with its own persistent wineserver."""
    assert (BASE_PREFIX / ".bolvo-ready").exists(), "run scripts/test: it boots the Wine prefix"
    prefix = tmp_path / "prefix"
    shutil.copytree(BASE_PREFIX, prefix, symlinks=True)
    w = Wine(prefix)
    subprocess.run(["wineserver", "-p"], env=w.env, check=True)
    subprocess.run(["wine", "cmd.exe", "/c", "exit"], env=w.env, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    yield w
    subprocess.run(["wineserver", "-k"], env=w.env)


def windows_folder(wine, variable):
    """A folder named by an environment variable of the prefix's user, as (Windows, Linux) paths."""
    windows = wine.run("cmd.exe", "/c", f"echo %{variable}%").stdout.strip()
    linux = wine.run("winepath", "-u", windows).stdout.strip()
    assert windows and linux, variable
    return windows, Path(linux).resolve()


@needs(SETUP)
def test_installer_installs_for_the_user_and_uninstalls_silently(fresh_wine):
    w = fresh_wine
    result = w.run(SETUP.name, "/S", cwd=SETUP.parent, timeout=120)
    assert result.returncode == 0, result.stderr

    local, local_linux = windows_folder(w, "LOCALAPPDATA")
    appdata, appdata_linux = windows_folder(w, "APPDATA")
    install = local + r"\Programs\Bolvo Quest"
    install_linux = local_linux / "Programs" / "Bolvo Quest"
    installed = files_under(install_linux)
    assert installed == GAME_FILES | {"Uninstall.exe"}
    assert not WRITTEN_BY_LAUNCHER & installed

    shortcut = appdata_linux / "Microsoft/Windows/Start Menu/Programs/Bolvo Quest.lnk"
    assert shortcut.is_file()
    target, workdir, icon = read_shortcut(shortcut)
    assert target.lower() == (install + r"\launcher.exe").lower()
    assert workdir.lower() == install.lower()
    assert icon.lower() == (install + r"\launcher.exe").lower()

    entry = reg_values(w, UNINSTALL_KEY)
    assert entry is not None, "no uninstall entry"
    assert entry["DisplayName"] == "Bolvo Quest"
    assert entry["DisplayVersion"] == VERSION
    assert entry["Publisher"] == "Bolvo Quest team"
    assert entry["InstallLocation"].lower() == install.lower()
    assert entry["DisplayIcon"].lower() == (install + r"\launcher.exe,0").lower()
    assert entry["UninstallString"].lower() == f'"{install}\\Uninstall.exe"'.lower()
    assert int(entry["NoModify"], 16) == 1 and int(entry["NoRepair"], 16) == 1

    # Started as the shortcut starts it: in the install folder, where it writes its files.
    launcher = Launcher(w, install_linux)
    try:
        launcher.wait_window()
        assert poll(lambda: (install_linux / "qmkx.dat").is_file(), 30)
        launcher.click(60, 455)  # "Exit"
        assert launcher.wait_exit() == 0
    finally:
        launcher.stop()

    # The other files the launcher may leave there: a news fetch's log, an interrupted scan.
    (install_linux / "bootlog_pd.txt").write_text("log")
    (install_linux / "qmkx.dat.tmp").write_text("0 0 ")
    # The uninstaller copies itself away and returns at once: the folder goes a little later.
    result = w.run(install + r"\Uninstall.exe", "/S", timeout=120)
    assert result.returncode == 0, result.stderr
    assert poll(lambda: not install_linux.exists(), 60), files_under(install_linux)
    assert install_linux.parent.is_dir(), "the uninstaller removed more than its own folder"
    assert not shortcut.exists()
    assert reg_values(w, UNINSTALL_KEY) is None


@needs(ZIP)
def test_the_zip_unpacks_to_a_folder_that_plays(wine, launch, tmp_path):
    with zipfile.ZipFile(ZIP) as archive:
        names = [n for n in archive.namelist() if not n.endswith("/")]
        assert all(n.startswith(NAME + "/") for n in names), names
        assert {n[len(NAME) + 1:] for n in names} == GAME_FILES
        assert not WRITTEN_BY_LAUNCHER & {Path(n).name for n in names}
        archive.extractall(tmp_path)
    # The packages are made from the game folder, which never holds what the launcher writes.
    assert not WRITTEN_BY_LAUNCHER & files_under(GAME)
    directory = tmp_path / NAME

    launcher = launch(directory)
    launcher.wait_window()
    # Each page is told by its title, as this launcher draws it (its artwork is built in).
    menu = stable_title(launcher)
    launcher.click(250, 250)  # "Play the game"
    chooser = stable_title(launcher, unlike=menu)
    launcher.click(250, 285)  # row 2
    assert poll(lambda: wine.window_count(GAME_WINDOW, GAME_WINDOW) == 1, 60), \
        "the episode's window did not appear"
    mouse("key", "Escape")
    assert poll(lambda: wine.window_count(GAME_WINDOW, GAME_WINDOW) == 0
                and wine.window_count() == 1, 60), "the launcher did not come back"
    launcher.wait_window()
    launcher.move_to(*EMPTY_SPOT)
    assert poll(lambda: title(launcher) == chooser, 30), "not back on the chooser"
    launcher.click(60, 455)  # "Back"
    assert poll(lambda: title(launcher) == menu, 30), "not back on the menu"
    launcher.click(60, 455)  # "Exit"
    assert launcher.wait_exit() == 0
