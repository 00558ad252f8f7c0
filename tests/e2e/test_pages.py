"""The pages driven with the real pointer: hover images, dragging, the episode chooser with test
modules, running an episode and coming back, the help document and the way back."""
import shutil

from conftest import FIXTURES, bitmap, mouse, poll, save_screenshot, screenshot

ACT = (255, 128, 0)
DIS = (0, 128, 255)
EMPTY_SPOT = (470, 420)  # over no hotspot of any page


def add_modules(directory, modules):
    """modules: {number: fixture name}"""
    for number, name in modules.items():
        shutil.copy(FIXTURES / f"{name}.dll", directory / f"chaptr{number}.dll")


def row_colour(launcher, image, row):
    """The colour in the middle of episode row `row` (1 to 5), away from its border."""
    left, top = launcher.at(48 + 200, 230 + 40 * (row - 1) + 20)
    return image.getpixel((left, top))


def test_buttons_light_up_under_the_pointer(wine, launch, play_dir):
    launcher = launch(play_dir)
    launcher.wait_window()
    buttons = [  # a point on the lettering, image placement, hover and normal bitmaps
        ((250, 250), (112, 232), "play_hover_161.bmp", "play_normal_162.bmp"),
        ((250, 300), (112, 284), "community_hover_163.bmp", "community_normal_164.bmp"),
        ((250, 350), (112, 333), "help_hover_165.bmp", "help_normal_166.bmp"),
        ((60, 455), (33, 441), "exit_hover_170.bmp", "exit_normal_171.bmp"),
    ]
    for point, (x, y), hover, normal in buttons:
        launcher.move_to(*point)
        assert launcher.wait_crop(x, y, bitmap(hover)), f"{hover} not shown under the pointer"
        save_screenshot(f"main_hover_{hover.split('_')[0]}", box=launcher.rect and (
            launcher.rect[0], launcher.rect[1], launcher.rect[0] + 533, launcher.rect[1] + 488))
        launcher.move_to(*EMPTY_SPOT)
        assert launcher.wait_crop(x, y, bitmap(normal)), f"{normal} not back after leaving"


def test_dragging_outside_the_buttons_moves_the_window(wine, launch, play_dir):
    launcher = launch(play_dir)
    left, top, _, _ = launcher.wait_window()
    launcher.move_to(*EMPTY_SPOT)
    mouse("mousedown", "1")
    mouse("mousemove_relative", "--", "40", "30")
    mouse("mousemove_relative", "--", "20", "10")
    mouse("mouseup", "1")
    assert poll(lambda: wine.window_rect()[:2] == (left + 60, top + 40), 30), wine.window_rect()
    # A press on a button does not drag.
    launcher.move_to(250, 300)  # "Online community"
    mouse("mousedown", "1")
    mouse("mousemove_relative", "--", "30", "0")
    mouse("mouseup", "1")
    assert wine.window_rect()[:2] == (left + 60, top + 40)


def test_chooser_shows_a_row_per_module_at_its_own_place(wine, launch, play_dir, tmp_path):
    add_modules(play_dir, {1: "fixture_good", 3: "fixture_good"})
    log = tmp_path / "episodes.txt"
    launcher = launch(play_dir, env_extra={"BOLVO_TEST_EPISODE_LOG": str(log)})
    launcher.wait_window()
    launcher.click(250, 250)  # "Play the game"
    assert launcher.wait_crop(40, 165, bitmap("title_episodes_182.bmp").crop((0, 0, 423, 60)))
    launcher.move_to(*EMPTY_SPOT)
    assert poll(lambda: row_colour(launcher, screenshot(), 1) == DIS, 30)
    image = screenshot()
    save_screenshot("episodes_page", image, (launcher.rect[0], launcher.rect[1],
                                             launcher.rect[0] + 533, launcher.rect[1] + 488))
    assert row_colour(launcher, image, 3) == DIS
    for missing in (2, 4, 5):
        assert row_colour(launcher, image, missing) not in (ACT, DIS)

    launcher.move_to(250, 320)  # row 3
    assert poll(lambda: row_colour(launcher, screenshot(), 3) == ACT, 30)
    assert row_colour(launcher, screenshot(), 1) == DIS
    save_screenshot("episodes_page_hover_row3", box=(launcher.rect[0], launcher.rect[1],
                                                     launcher.rect[0] + 533, launcher.rect[1] + 488))
    # A missing module's row neither lights up nor runs anything.
    launcher.click(250, 280)  # row 2
    assert row_colour(launcher, screenshot(), 2) not in (ACT, DIS)
    assert not log.exists()
    assert launcher.process.poll() is None


def test_an_episode_runs_and_the_launcher_comes_back_on_the_chooser(wine, launch, play_dir,
                                                                    tmp_path):
    add_modules(play_dir, {1: "fixture_good", 3: "fixture_good"})
    log = tmp_path / "episodes.txt"
    launcher = launch(play_dir, env_extra={"BOLVO_TEST_EPISODE_LOG": str(log)})
    launcher.wait_window()
    launcher.click(250, 250)
    assert launcher.wait_crop(40, 165, bitmap("title_episodes_182.bmp").crop((0, 0, 423, 60)))
    launcher.click(250, 320)  # row 3
    assert poll(lambda: log.exists() and log.read_text() == "MAIN chaptr3.dll\n", 30)
    # Back with a new window, on the chooser.
    assert poll(lambda: wine.window_count() == 1, 30)
    launcher.wait_window()
    launcher.move_to(*EMPTY_SPOT)
    assert launcher.wait_crop(40, 165, bitmap("title_episodes_182.bmp").crop((0, 0, 423, 60)))
    assert poll(lambda: row_colour(launcher, screenshot(), 3) == DIS, 30)
    # The same episode again, from the module that stayed loaded.
    launcher.click(250, 320)
    assert poll(lambda: log.read_text() == "MAIN chaptr3.dll\n" * 2, 30)
    launcher.wait_window()
    launcher.click(60, 455)  # "Back"
    assert launcher.wait_crop(137, 165, bitmap("title_main_160.bmp"))
    launcher.click(60, 455)  # "Exit"
    assert launcher.wait_exit() == 0


def test_an_episode_that_asks_to_quit_ends_the_launcher(wine, launch, play_dir, tmp_path):
    add_modules(play_dir, {2: "fixture_good"})
    log = tmp_path / "episodes.txt"
    launcher = launch(play_dir, env_extra={"BOLVO_TEST_EPISODE_LOG": str(log),
                                           "BOLVO_TEST_EPISODE_RESULT": "1"})
    launcher.wait_window()
    launcher.click(250, 250)
    assert launcher.wait_crop(40, 165, bitmap("title_episodes_182.bmp").crop((0, 0, 423, 60)))
    launcher.click(250, 285)  # row 2
    assert launcher.wait_exit() == 0
    assert log.read_text() == "MAIN chaptr2.dll\n"
    assert wine.window_count() == 0


def test_a_module_without_an_image_leaves_the_chooser_unbuilt(wine, launch, play_dir, tmp_path):
    add_modules(play_dir, {1: "fixture_good", 2: "fixture_no_dis", 3: "fixture_good"})
    log = tmp_path / "episodes.txt"
    launcher = launch(play_dir, env_extra={"BOLVO_TEST_EPISODE_LOG": str(log)})
    launcher.wait_window()
    launcher.click(250, 250)  # "Play the game" leads to an empty page: the menu stays drawn
    launcher.move_to(*EMPTY_SPOT)
    launcher.click(250, 240)  # where row 1 would be: nothing there
    image = screenshot()
    assert row_colour(launcher, image, 1) not in (ACT, DIS)
    assert not log.exists()
    assert launcher.process.poll() is None
    assert wine.window_count() == 1


def test_help_opens_the_document_and_back_returns_to_the_menu(wine, launch, play_dir):
    wine.opened_log.write_text("")
    launcher = launch(play_dir)
    launcher.wait_window()
    launcher.click(250, 350)  # "Help page"
    opened = poll(lambda: wine.opened_log.read_text().strip(), 30)
    assert opened and opened.lower().endswith("\\doc\\help.html"), opened

    launcher.click(250, 300)  # "Online community"
    assert launcher.wait_crop(40, 165, bitmap("title_community_181.bmp").crop((0, 0, 423, 60)))
    save_screenshot("news_page", box=(launcher.rect[0], launcher.rect[1],
                                      launcher.rect[0] + 533, launcher.rect[1] + 488))
    launcher.click(60, 455)  # "Back"
    assert launcher.wait_crop(137, 165, bitmap("title_main_160.bmp"))
