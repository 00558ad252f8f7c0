"""The game as it ships: the five demo episodes on the chooser, one played and left twice, and
its quit key ending the launcher."""
import shutil
import subprocess

from PIL import Image

from conftest import GAME, GAME_WINDOW, ROOT, bitmap, poll, save_screenshot, screenshot


def row_image(number, kind):
    return Image.open(ROOT / "game" / "art" / f"chaptr{number}_{kind}.bmp").convert("RGB")


def key(name):
    subprocess.run(["xdotool", "key", name], check=True)


def window_box(launcher):
    left, top, width, height = launcher.rect
    return left, top, left + width, top + height


def test_the_demo_episodes_run_from_the_chooser(wine, launch, tmp_path):
    game = tmp_path / "game"
    shutil.copytree(GAME, game)
    assert sorted(p.name for p in game.glob("chaptr*.dll")) == [f"chaptr{n}.dll" for n in range(1, 6)]
    launcher = launch(game)
    launcher.wait_window()
    launcher.click(250, 250)  # "Play the game"
    launcher.move_to(470, 20)
    for number in range(1, 6):
        assert launcher.wait_crop(48, 230 + 40 * (number - 1), row_image(number, "dis")), number
    launcher.move_to(250, 285)  # row 2
    assert launcher.wait_crop(48, 270, row_image(2, "act"))
    save_screenshot("demo_chooser", box=window_box(launcher))

    for run in range(2):
        launcher.click(250, 285)
        assert poll(lambda: wine.window_count(GAME_WINDOW, GAME_WINDOW) == 1, 30), f"run {run + 1}"
        assert wine.window_count() == 0, "the launcher's window is gone while the episode runs"
        if run == 0:
            # A launcher started while the game runs refuses at once.
            second = launch(game)
            assert second.wait_exit() == 255
            key("Right")
            save_screenshot("demo_episode_2")
        key("Escape")
        launcher.wait_window()
        assert poll(lambda: wine.window_count(GAME_WINDOW, GAME_WINDOW) == 0, 30)
        launcher.move_to(470, 20)
        # Back on the chooser, where the player was.
        assert launcher.wait_crop(48, 270, row_image(2, "dis"))

    launcher.click(250, 285)
    assert poll(lambda: wine.window_count(GAME_WINDOW, GAME_WINDOW) == 1, 30)
    key("q")
    assert launcher.wait_exit() == 0
    assert wine.window_count() == 0
