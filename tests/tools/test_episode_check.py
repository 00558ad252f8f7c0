"""episode-check on the test episode modules, run through wine as a player's machine would.

Each case copies one fixture into a fresh folder as chaptr1.dll (the name the launcher loads)
and checks the tool's exit status and its line for each resource and for MAIN.
Environment: EPISODE_CHECK (the .exe), FIXTURE_DIR (the built fixtures), WINE (default wine).
"""
import os
import shutil
import subprocess

import pytest

EPISODE_CHECK = os.environ.get("EPISODE_CHECK", "")
FIXTURE_DIR = os.environ.get("FIXTURE_DIR", "")
WINE = os.environ.get("WINE", "wine")


def run_check(folder, module_name):
    # The tool sits in the folder with the modules, as in a game folder: a bare name must not
    # find the demo modules built beside the tool.
    tool = shutil.copy(EPISODE_CHECK, folder)
    done = subprocess.run([WINE, tool, module_name], cwd=folder, capture_output=True,
                          text=True, timeout=120)
    lines = [line.rstrip("\r") for line in done.stdout.splitlines()]
    return done.returncode, {line.split(":", 1)[0]: line.split(":", 1)[1].strip()
                             for line in lines if ":" in line}, lines


CASES = [
    # fixture, exit status, DLL_ACT line, DLL_DIS line, MAIN line, result line
    ("fixture_good", 0, "ok, 400 x 40", "ok, 400 x 40", "ok, exported", "ok"),
    ("fixture_no_dis", 1, "ok, 400 x 40", "error, missing", "ok, exported", "broken"),
    ("fixture_no_act", 1, "error, missing", "ok, 400 x 40", "ok, exported", "broken"),
    ("fixture_no_main", 1, "ok, 400 x 40", "ok, 400 x 40", "error, missing", "broken"),
    ("fixture_wrong_size", 0, "warning, 300 x 30", "warning, 300 x 30", "ok, exported",
     "ok with warnings"),
]


@pytest.mark.parametrize("fixture, status, act, dis, entry, result", CASES,
                         ids=[case[0] for case in CASES])
def test_fixture_verdicts(tmp_path, fixture, status, act, dis, entry, result):
    shutil.copy(os.path.join(FIXTURE_DIR, fixture + ".dll"), tmp_path / "chaptr1.dll")
    code, fields, lines = run_check(tmp_path, "chaptr1.dll")
    assert code == status, lines
    assert fields["module"].startswith("loaded ") and fields["module"].endswith("chaptr1.dll")
    assert fields["DLL_ACT"].startswith(act), lines
    assert fields["DLL_DIS"].startswith(dis), lines
    assert fields["MAIN"].startswith(entry), lines
    assert fields["result"] == result, lines


def test_missing_module_is_broken(tmp_path):
    code, fields, lines = run_check(tmp_path, "chaptr4.dll")
    assert code == 1, lines
    assert fields["module"].startswith("error, cannot load chaptr4.dll"), lines
    assert fields["result"] == "broken"
    assert "DLL_ACT" not in fields and "MAIN" not in fields


def test_name_the_launcher_never_loads_is_a_warning(tmp_path):
    shutil.copy(os.path.join(FIXTURE_DIR, "fixture_good.dll"), tmp_path / "episode.dll")
    code, fields, lines = run_check(tmp_path, "episode.dll")
    assert code == 0, lines
    assert any(line.startswith("module: warning") and "chaptr1.dll" in line for line in lines)
    assert fields["result"] == "ok with warnings"


def test_module_given_by_path_is_the_one_checked(tmp_path):
    # A chaptr1.dll beside the tool must not stand in for the one named by its path.
    shutil.copy(os.path.join(FIXTURE_DIR, "fixture_good.dll"), tmp_path / "chaptr1.dll")
    other = tmp_path / "other"
    other.mkdir()
    shutil.copy(os.path.join(FIXTURE_DIR, "fixture_no_main.dll"), other / "chaptr1.dll")
    shutil.copy(EPISODE_CHECK, tmp_path)
    done = subprocess.run([WINE, str(tmp_path / os.path.basename(EPISODE_CHECK)),
                           "other\\chaptr1.dll"], cwd=tmp_path, capture_output=True, text=True,
                          timeout=120)
    assert done.returncode == 1, done.stdout
    assert "MAIN: error, missing" in done.stdout


def test_usage_without_a_module():
    done = subprocess.run([WINE, EPISODE_CHECK], capture_output=True, text=True, timeout=120)
    assert done.returncode == 2
    assert "usage: episode-check MODULE.dll" in done.stderr
