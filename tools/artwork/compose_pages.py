#!/usr/bin/python3
"""Puts the launcher's three pages together from the committed bitmaps, the way the
launcher draws them (each picture copied at its placement, in order), and writes PNG
previews to build/screenshots/: one per page with every button in its normal look, one
per button with that button in its hover look, and the main page cut to the window's
outline as a 16-bit display shows it.

Run with Debian's Python and Pillow:  /usr/bin/python3 tools/artwork/compose_pages.py
"""
import os
import sys

from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import layout  # noqa: E402


def bitmap(name):
    return Image.open(os.path.join(layout.BITMAP_DIR, name)).convert("RGB")


class Spot:
    """One hover-able thing on a page: its key, its two image files and where they go."""

    def __init__(self, key, hover, normal, xy):
        self.key, self.hover, self.normal, self.xy = key, hover, normal, xy


def button_spot(button):
    return Spot(button.key,
                os.path.join(layout.BITMAP_DIR, button.hover),
                os.path.join(layout.BITMAP_DIR, button.normal),
                button.place[:2])


def episode_spots():
    spots = []
    for number, _title in layout.EPISODES:
        act, dis = layout.episode_row_files(number)
        spots.append(Spot("episode%d" % number, act, dis, layout.episode_row_place(number)[:2]))
    return spots


# Each page: its title picture and its buttons, drawn in this order over the background.
PAGES = {
    "main": (layout.TITLE_MAIN, [button_spot(b) for b in layout.MAIN_BUTTONS]),
    "episodes": (layout.TITLE_EPISODES, [button_spot(layout.BACK)] + episode_spots()),
    "community": (layout.TITLE_COMMUNITY, [button_spot(layout.BACK)]),
}


def compose(title, spots, hovered=None):
    page = bitmap(layout.BACKGROUND)
    page.paste(bitmap(title.bitmap), title.place[:2])
    for spot in spots:
        path = spot.hover if spot is hovered else spot.normal
        page.paste(Image.open(path).convert("RGB"), spot.xy)
    return page


def shaped_on_16bit_display(page):
    """`page` as the window looks on a 16-bit display: the background's pixels that read back
    as the key colour are cut away (outside the inner rectangle, which always stays), and the
    desktop shows through."""
    background = bitmap(layout.BACKGROUND)
    bg = background.load()
    keep = Image.new("L", page.size, 0)
    kp = keep.load()
    x0, y0, x1, y1 = layout.INNER
    for y in range(page.height):
        for x in range(page.width):
            if x0 <= x <= x1 and y0 <= y <= y1 or layout.on_16bit_display(bg[x, y]) != layout.KEY_COLOUR:
                kp[x, y] = 255
    desktop = Image.new("RGB", page.size, (0, 128, 128))
    desktop.paste(page, (0, 0), keep)
    return desktop


def main():
    os.makedirs(layout.SCREENSHOT_DIR, exist_ok=True)
    written = []
    for name, (title, spots) in PAGES.items():
        path = os.path.join(layout.SCREENSHOT_DIR, "compose_%s.png" % name)
        compose(title, spots).save(path)
        written.append(path)
        for spot in spots:
            path = os.path.join(layout.SCREENSHOT_DIR, "compose_%s_hover_%s.png" % (name, spot.key))
            compose(title, spots, spot).save(path)
            written.append(path)
    path = os.path.join(layout.SCREENSHOT_DIR, "compose_main_16bit_shape.png")
    title, spots = PAGES["main"]
    shaped_on_16bit_display(compose(title, spots)).save(path)
    written.append(path)
    for path in written:
        print(os.path.relpath(path, layout.ROOT))


if __name__ == "__main__":
    main()
