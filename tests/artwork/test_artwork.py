"""Checks of the launcher's committed artwork: formats and sizes the launcher and the
resource compiler rely on, the grey surround that gives the window its outline, buttons
and titles that sit seamlessly on the background, the icon and the demo episode rows.

Run with Debian's Python:  /usr/bin/python3 -m pytest tests/artwork
"""
import os
import struct
import subprocess
import sys

import pytest
from PIL import Image

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "artwork"))
import layout  # noqa: E402

SURROUND = layout.SURROUND
KEY_COLOUR = layout.KEY_COLOUR
key_on_16bit = layout.on_16bit_display


def bmp_path(name):
    return os.path.join(layout.BITMAP_DIR, name)


def read_bmp_header(path):
    """(width, height, bit count, compression, file size, pixel offset) of a BMP file."""
    with open(path, "rb") as f:
        data = f.read(54)
    assert data[:2] == b"BM", "%s: not a BMP file" % path
    file_size, _r1, _r2, offset = struct.unpack("<IHHI", data[2:14])
    size, width, height, planes, bits, compression = struct.unpack("<IiiHHI", data[14:34])
    assert size == 40, "%s: header size %d, want BITMAPINFOHEADER (40)" % (path, size)
    assert planes == 1
    return width, height, bits, compression, file_size, offset


def check_24bit_bmp(path, size):
    assert os.path.isfile(path), "missing %s" % path
    width, height, bits, compression, file_size, offset = read_bmp_header(path)
    assert (width, height) == size, "%s is %dx%d, want %dx%d" % (path, width, height, *size)
    assert height > 0, "%s: top-down rows; LoadBitmap expects bottom-up" % path
    assert bits == 24, "%s: %d bits per pixel, want 24" % (path, bits)
    assert compression == 0, "%s: compression %d, want BI_RGB (0)" % (path, compression)
    stride = (width * 3 + 3) // 4 * 4
    assert offset == 54, "%s: pixels at %d, want 54 (no palette)" % (path, offset)
    assert os.path.getsize(path) == offset + stride * height == file_size


def rgb(name_or_path):
    path = name_or_path if os.path.isabs(name_or_path) else bmp_path(name_or_path)
    return Image.open(path).convert("RGB")


@pytest.fixture(scope="module")
def background():
    return rgb(layout.BACKGROUND)


def crop(image, place):
    x, y, w, h = place
    return image.crop((x, y, x + w, y + h))


# ----------------------------------------------------------------------------------------

@pytest.mark.parametrize("name", sorted(layout.CATALOGUE))
def test_bitmap_is_24bit_uncompressed_of_catalogue_size(name):
    check_24bit_bmp(bmp_path(name), layout.CATALOGUE[name])


def test_surround_is_the_exact_grey(background):
    points = [(0, 0), (5, 5), (5, 480), (528, 480), (532, 0), (532, 487), (0, 487),
              (10, 250), (500, 250), (150, 10), (18, 300), (482, 400), (530, 487)]
    for p in points:
        assert background.getpixel(p) == SURROUND, "pixel %s is %s" % (p, background.getpixel(p))
    assert SURROUND != KEY_COLOUR and key_on_16bit(SURROUND) == KEY_COLOUR


def test_inner_area_never_shows_the_surround_grey(background):
    x0, y0, x1, y1 = layout.INNER
    inner = background.crop((x0, y0, x1 + 1, y1 + 1))
    assert SURROUND not in {c for _n, c in inner.getcolors(inner.width * inner.height)}


def test_only_the_surround_turns_into_the_key_colour_on_16bit_displays(background):
    """On a 5-6-5 display the surround is cut away and nothing else is: the frame, the
    logo and Bolvo's head keep the window's outline whole."""
    px = background.load()
    x0, y0, x1, y1 = layout.INNER
    for y in range(background.height):
        for x in range(background.width):
            c = px[x, y]
            if key_on_16bit(c) == KEY_COLOUR:
                assert c == SURROUND, "(%d,%d) is %s, near the grey" % (x, y, c)
                assert not (x0 <= x <= x1 and y0 <= y <= y1), "(%d,%d) grey inside" % (x, y)


def test_surround_outside_frame_apart_from_logo_and_head(background):
    px = background.load()
    fx0, fy0, fx1, fy1 = layout.FRAME
    # Logo: above the frame at the top right, also spilling over its right edge.
    assert any(px[x, y] != SURROUND for x in range(300, 533) for y in range(0, fy0))
    assert any(px[x, y] != SURROUND for x in range(fx1 + 1, 533) for y in range(0, 100))
    # Bolvo's head over the left edge.
    assert any(px[x, y] != SURROUND for x in range(0, fx0) for y in range(fy0, 200))
    # Nothing else: the bottom-right, the right side below the logo, the left side below the
    # head and the top left are flat grey.
    for box in ((fx1 + 1, 120, 532, 487), (0, 220, fx0 - 1, 487), (0, 0, 20, 30)):
        bx0, by0, bx1, by1 = box
        for y in range(by0, by1 + 1):
            for x in range(bx0, bx1 + 1):
                assert px[x, y] == SURROUND, "(%d,%d) is %s" % (x, y, px[x, y])


def test_inner_area_is_a_picture_not_flat(background):
    x0, y0, x1, y1 = layout.INNER
    inner = background.crop((x0, y0, x1 + 1, y1 + 1))
    assert len(inner.getcolors(1 << 20)) > 500


@pytest.mark.parametrize("button", layout.BUTTONS, ids=lambda b: b.key)
def test_button_lettering_sits_in_its_hit_rectangle_over_the_background(background, button):
    under = crop(background, button.place)
    x, y, w, h = button.place
    l, t, r, b = button.hit
    for name in (button.hover, button.normal):
        image = rgb(name)
        assert image.size == (w, h)
        ip, up = image.load(), under.load()
        same = 0
        for py in range(h):
            for px_ in range(w):
                if ip[px_, py] == up[px_, py]:
                    same += 1
                else:
                    wx, wy = x + px_, y + py
                    assert l <= wx <= r and t <= wy <= b, \
                        "%s: lettering at window (%d,%d) outside hit rect %s" % (name, wx, wy, button.hit)
        assert same >= 0.5 * w * h, "%s: only %d of %d pixels are the background" % (name, same, w * h)
        assert same < w * h, "%s has no caption" % name


@pytest.mark.parametrize("button", layout.BUTTONS, ids=lambda b: b.key)
def test_button_looks_are_orange_and_pale_blue(button):
    def count(name, test):
        return sum(1 for c in rgb(name).getdata() if test(c))

    def orange(c):
        return c[0] > 220 and 110 < c[1] < 200 and c[2] < 90

    def pale_blue(c):
        return c[2] > 230 and c[1] > 190 and c[0] < 200

    assert count(button.hover, orange) > 40
    assert count(button.hover, pale_blue) == 0
    assert count(button.normal, pale_blue) > 40
    assert count(button.normal, orange) == 0
    # Where the two looks agree, they agree with the background too (seamless swap).
    hover, normal = rgb(button.hover).load(), rgb(button.normal).load()
    w, h = layout.CATALOGUE[button.hover]
    assert sum(1 for y in range(h) for x in range(w) if hover[x, y] != normal[x, y]) > 40


@pytest.mark.parametrize("title", layout.TITLES, ids=lambda t: t.key)
def test_title_scenery_equals_the_background(background, title):
    image = rgb(title.bitmap)
    under = crop(background, title.place)
    w, h = image.size
    ip, up = image.load(), under.load()
    # The lettering and the underline stay in the top 52 rows; the panel below them is
    # inset by 2 pixels left, right and at the bottom, so those margins are scenery.
    scenery = [(x, y) for y in range(h) for x in range(w)
               if (y >= 52 and not title.panel) or x < 2 or x >= w - 2 or y >= h - 1]
    for x, y in scenery:
        assert ip[x, y] == up[x, y], "%s: (%d,%d) differs from the background" % (title.bitmap, x, y)
    same = sum(1 for y in range(min(h, 52)) for x in range(w) if ip[x, y] == up[x, y])
    assert same >= 0.5 * w * min(h, 52), "%s: title strip is hardly scenery" % title.bitmap


@pytest.mark.parametrize("title", [t for t in layout.TITLES if t.panel], ids=lambda t: t.key)
def test_panel_white_covers_news_view_and_episode_rows(title):
    image = rgb(title.bitmap)
    ox, oy = title.place[:2]
    x0, y0, x1, y1 = layout.PANEL_WHITE_NEEDED
    px = image.load()
    for y in range(y0 - oy, y1 - oy + 1):
        for x in range(x0 - ox, x1 - ox + 1):
            assert px[x, y] == layout.PANEL_WHITE, "%s: (%d,%d) not white" % (title.bitmap, x + ox, y + oy)
    # the rounded corners show the scenery, the border is dark
    assert max(px[title.place[2] // 2, 53]) < 120


def test_titles_and_panels_share_the_same_title_lettering():
    a = rgb(layout.TITLE_COMMUNITY.bitmap)
    b = rgb(layout.TITLE_EPISODES.bitmap)
    # same panel: identical below the title rows
    assert a.crop((0, 56, a.width, a.height)).tobytes() == b.crop((0, 56, b.width, b.height)).tobytes()


# ----------------------------------------------------------------------------------------

def icon_entries(path):
    with open(path, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    assert (reserved, kind) == (0, 1), "not an icon file"
    entries = []
    for i in range(count):
        w, h, colours, _res, planes, bits, size, offset = struct.unpack(
            "<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        entries.append((w, h, bits, data[offset:offset + size]))
    return entries


def test_icon_has_a_24bit_and_a_256_colour_32x32_dib_image():
    entries = icon_entries(layout.ICON_PATH)
    assert sorted(e[2] for e in entries) == [8, 24]
    for w, h, bits, image in entries:
        assert (w, h) == (32, 32)
        assert image[:8] != b"\x89PNG\r\n\x1a\n", "PNG-compressed entry"
        hsize, width, height, planes, bit_count, compression = struct.unpack("<IiiHHI", image[:20])
        assert (hsize, width, height, planes) == (40, 32, 64, 1)
        assert bit_count == bits and compression == 0
        palette = 256 * 4 if bits == 8 else 0
        xor = 32 * (32 * bits // 8)
        and_mask = 32 * 4
        assert len(image) == 40 + palette + xor + and_mask
        mask = image[40 + palette + xor:]
        transparent = sum(bin(byte).count("1") for byte in mask)
        assert 50 < transparent < 800, "emblem should be round, with transparent corners"
        assert mask[-4] & 0x80, "top-left corner is transparent"


def test_icon_reads_as_an_icon():
    image = Image.open(layout.ICON_PATH)
    assert image.size == (32, 32)
    pixel = image.convert("RGBA").getpixel((16, 20))
    assert pixel[3] == 255


# ----------------------------------------------------------------------------------------

@pytest.mark.parametrize("number", [n for n, _t in layout.EPISODES])
def test_episode_rows_are_400x40_on_panel_white(number):
    act, dis = layout.episode_row_files(number)
    for path in (act, dis):
        check_24bit_bmp(path, layout.EPISODE_ROW_SIZE)
    plain = rgb(dis)
    w, h = plain.size
    edge = [plain.getpixel((x, y)) for x in range(w) for y in (0, h - 1)] + \
           [plain.getpixel((x, y)) for x in (0, w - 1) for y in range(h)]
    assert set(edge) == {layout.PANEL_WHITE}, "plain row must blend into the panel"
    lit = rgb(act)
    orange = sum(1 for c in lit.getdata() if c[0] > 200 and 80 < c[1] < 200 and c[2] < 100)
    assert orange > 200, "highlighted row should be orange"
    assert lit.getpixel((0, 0)) == layout.PANEL_WHITE and lit.getpixel((w - 1, h - 1)) == layout.PANEL_WHITE


# ----------------------------------------------------------------------------------------

def test_generator_reproduces_the_committed_files(tmp_path):
    """The committed files are what tools/artwork/make_artwork.py draws."""
    script = os.path.join(ROOT, "tools", "artwork", "make_artwork.py")
    run = subprocess.run([sys.executable, script, "--out", str(tmp_path)],
                         capture_output=True, text=True)
    if run.returncode != 0 and "apt-get install" in run.stderr:
        pytest.skip(run.stderr.strip())
    assert run.returncode == 0, run.stderr
    compared = 0
    for folder, _dirs, files in os.walk(tmp_path):
        for name in files:
            made = os.path.join(folder, name)
            committed = os.path.join(ROOT, os.path.relpath(made, tmp_path))
            with open(made, "rb") as a, open(committed, "rb") as b:
                assert a.read() == b.read(), "%s differs from what the generator draws" % committed
            compared += 1
    assert compared == len(layout.CATALOGUE) + 1 + 2 * len(layout.EPISODES)
