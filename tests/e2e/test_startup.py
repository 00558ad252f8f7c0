"""Start-up seen from outside: the window's place, the refusals and their exit codes."""
import subprocess

from conftest import CLASS, GAME_WINDOW, TITLE, poll, save_screenshot


def test_window_opens_centred_and_exit_ends_with_zero(wine, launch, play_dir):
    launcher = launch(play_dir)
    assert launcher.wait_window() == (245, 140, 533, 488)
    save_screenshot("startup_main_menu", box=(245, 140, 245 + 533, 140 + 488))
    launcher.click(60, 455)  # "Exit"
    assert launcher.wait_exit() == 0


def test_second_start_is_refused_without_a_window(wine, launch, play_dir):
    first = launch(play_dir)
    first.wait_window()
    second = launch(play_dir)
    assert second.wait_exit() == 255  # -1
    assert wine.window_count() == 1
    assert first.process.poll() is None, "the running launcher is not disturbed"


def test_start_is_refused_while_the_game_window_exists(wine, launch, play_dir, tmp_path):
    hold = tmp_path / "hold"
    hold.write_text("")
    from conftest import WINPROBE, z_path
    game = wine.start(WINPROBE, "hold", GAME_WINDOW, GAME_WINDOW, z_path(hold))
    try:
        assert poll(lambda: wine.window_count(GAME_WINDOW, GAME_WINDOW) == 1, 30)
        launcher = launch(play_dir)
        assert launcher.wait_exit() == 255
        assert wine.window_count() == 0
    finally:
        hold.unlink()
        game.wait(timeout=30)


def test_without_directdraw_the_player_is_told_and_start_up_refuses(wine, launch, play_dir):
    launcher = launch(play_dir, env_extra={"WINEDLLOVERRIDES": "ddraw="})
    box = wine.probe("msgbox", "60", timeout=90)
    assert box.returncode == 0, "no message box appeared"
    caption, text = box.stdout.splitlines()[:2]
    assert (caption, text) == ("System Error", "Cannot get DirectX version")
    assert launcher.wait_exit() == 255
    assert wine.window_count() == 0
