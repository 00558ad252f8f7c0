"""Where the launcher puts each picture, shared by the artwork generator, the page
composer and the artwork tests.

All positions are window coordinates of the 533 x 488 launcher window. Placements are
(x, y, width, height); hit rectangles are (left, top, right, bottom), all four edges
inclusive, exactly as the launcher tests the mouse against them.
"""
import os

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
BITMAP_DIR = os.path.join(ROOT, "resources", "bitmaps")
ICON_PATH = os.path.join(ROOT, "resources", "bolvo.ico")
EPISODE_ART_DIR = os.path.join(ROOT, "game", "art")
SCREENSHOT_DIR = os.path.join(ROOT, "build", "screenshots")

WINDOW_SIZE = (533, 488)

# The grey around the framed scene. On a 16-bit display it reads back as the launcher's
# key colour, and the window's outline is cut along it; so it is flat, exact and never
# blended into the shapes it surrounds.
SURROUND = (129, 129, 129)
KEY_COLOUR = (132, 130, 132)


def on_16bit_display(rgb):
    """The colour a 5-6-5 display reads back for `rgb`: each channel cut to its high bits
    and widened again by repeating them. The surround grey comes back as KEY_COLOUR."""
    r, g, b = rgb[0] >> 3, rgb[1] >> 2, rgb[2] >> 3
    return ((r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2))

# The framed scene, inclusive corners, and the inner rectangle that always belongs to
# the window whatever the bitmap says (x 23..477, y 35..484).
FRAME = (21, 35, 479, 487)
INNER = (23, 35, 477, 484)

BACKGROUND = "background_159.bmp"

# Every bitmap of the launcher with its size.
CATALOGUE = {
    "background_159.bmp": (533, 488),
    "title_main_160.bmp": (228, 53),
    "play_hover_161.bmp": (287, 52),
    "play_normal_162.bmp": (287, 52),
    "community_hover_163.bmp": (287, 50),
    "community_normal_164.bmp": (287, 50),
    "help_hover_165.bmp": (287, 50),
    "help_normal_166.bmp": (287, 50),
    "exit_hover_170.bmp": (74, 42),
    "exit_normal_171.bmp": (74, 42),
    "back_normal_175.bmp": (88, 42),
    "back_hover_176.bmp": (88, 42),
    "title_community_181.bmp": (423, 274),
    "title_episodes_182.bmp": (423, 274),
}


class Button:
    def __init__(self, key, caption, hover, normal, place, hit):
        self.key = key          # short name, used for screenshot file names
        self.caption = caption
        self.hover = hover      # bitmap file of the orange (pointer over it) look
        self.normal = normal    # bitmap file of the pale blue look
        self.place = place      # (x, y, width, height)
        self.hit = hit          # (left, top, right, bottom), inclusive


PLAY = Button("play", "Play the game", "play_hover_161.bmp", "play_normal_162.bmp",
              (112, 232, 287, 52), (124, 234, 376, 268))
COMMUNITY = Button("community", "Online community", "community_hover_163.bmp",
                   "community_normal_164.bmp", (112, 284, 287, 50), (110, 281, 388, 316))
HELP = Button("help", "Help page", "help_hover_165.bmp", "help_normal_166.bmp",
              (112, 333, 287, 50), (160, 334, 340, 368))
EXIT = Button("exit", "Exit", "exit_hover_170.bmp", "exit_normal_171.bmp",
              (33, 441, 74, 42), (26, 441, 97, 471))
BACK = Button("back", "Back", "back_hover_176.bmp", "back_normal_175.bmp",
              (32, 439, 88, 42), (32, 439, 111, 470))

MAIN_BUTTONS = [PLAY, COMMUNITY, HELP, EXIT]
BUTTONS = MAIN_BUTTONS + [BACK]


class Title:
    def __init__(self, key, text, bitmap, place, panel):
        self.key = key
        self.text = text
        self.bitmap = bitmap
        self.place = place
        self.panel = panel      # True: a white panel fills the picture below the title


TITLE_MAIN = Title("main", "MAIN MENU", "title_main_160.bmp", (137, 165, 228, 53), False)
TITLE_COMMUNITY = Title("community", "ONLINE COMMUNITY", "title_community_181.bmp",
                        (40, 165, 423, 274), True)
TITLE_EPISODES = Title("episodes", "CHOOSE EPISODE", "title_episodes_182.bmp",
                       (40, 165, 423, 274), True)
TITLES = [TITLE_MAIN, TITLE_COMMUNITY, TITLE_EPISODES]

# The panel pictures' white must cover the news view and the episode rows:
# window x 48..455, y 228..430 inclusive at least.
PANEL_WHITE_NEEDED = (48, 228, 455, 430)
PANEL_WHITE = (255, 255, 255)

# The demo episodes: module number and title. Their rows lie on the chooser's panel.
EPISODES = [
    (1, "The Sleepy Meadow"),
    (2, "Mushroom Caves"),
    (3, "The Windy Cliffs"),
    (4, "Swamp of Bubbles"),
    (5, "Castle in the Clouds"),
]
EPISODE_ROW_SIZE = (400, 40)


def episode_row_place(number):
    """Placement of episode `number`'s row (1..5) on the chooser page."""
    return (48, 230 + 40 * (number - 1), 400, 40)


def episode_row_files(number):
    """(highlighted, plain) row image paths of episode `number`."""
    stem = os.path.join(EPISODE_ART_DIR, "chaptr%d" % number)
    return stem + "_act.bmp", stem + "_dis.bmp"
