"""The window's shape seen on the screen, and its cache file in the working directory."""
from conftest import bitmap, mouse, poll, save_screenshot, screenshot


def test_the_first_start_in_a_folder_writes_the_shape_cache(wine, launch, play_dir):
    launcher = launch(play_dir)
    launcher.wait_window()
    cache = play_dir / "qmkx.dat"
    text = cache.read_text()
    assert len(text) == 6612
    assert text.startswith("0 0 533 0 0 1 533 1 ") and text.endswith("0 487 533 487 ")
    assert not (play_dir / "qmkx.dat.tmp").exists()


def test_a_cached_shape_cuts_the_window_on_the_screen(wine, launch, play_dir):
    (play_dir / "qmkx.dat").write_text("0 0 10 0 ")
    mouse("mousemove", 1000, 10)
    desktop = screenshot()
    launcher = launch(play_dir)
    left, top, _, _ = launcher.wait_window()
    background = bitmap("background_159.bmp")

    def shown():
        image = screenshot()
        return image.getpixel((left + 100, top + 100)) == background.getpixel((100, 100)) and image
    image = poll(shown, 30)
    assert image, "the launcher's page did not appear"
    save_screenshot("shape_from_cache", image, (left - 10, top - 10, left + 543, top + 498))

    def launcher_pixel(x, y):
        return image.getpixel((left + x, top + y)) == background.getpixel((x, y))

    def desktop_pixel(x, y):
        return image.getpixel((left + x, top + y)) == desktop.getpixel((left + x, top + y))

    # The ten cached pixels of row 0 and the inner rectangle belong to the window...
    for x, y in [(0, 0), (9, 0), (23, 35), (477, 484), (450, 150), (30, 200), (23, 484), (477, 35)]:
        assert launcher_pixel(x, y), (x, y)
    # ...and everything else shows the desktop behind it.
    for x, y in [(10, 0), (0, 1), (5, 5), (22, 100), (478, 100), (250, 485), (532, 487),
                 (530, 20), (5, 480)]:
        assert desktop_pixel(x, y) and not launcher_pixel(x, y), (x, y)
    assert (play_dir / "qmkx.dat").read_text() == "0 0 10 0 ", "the cache is never rewritten"
