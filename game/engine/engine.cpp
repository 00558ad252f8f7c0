// The demo episodes' engine: the game window and its message loop, the title card, Bolvo's
// movement, stars and hazards, and the GDI drawing of each scenery. Every frame is drawn into a
// memory device context and copied to the window in one BitBlt, so nothing flickers.
#include "engine/engine.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

#include "bolvo_episode.h"

enum {
    SCENE_WIDTH = 640,
    SCENE_HEIGHT = 480,
    HUD_HEIGHT = 30,
    TICK_MS = 33,
    TIMER_ID = 1,
    TITLE_TICKS = 90,  // the title card gives way to the scene by itself after about 3 s
    HERO_RADIUS = 15,
    STAR_RADIUS = 11,
    HAZARD_RADIUS = 15,
    HERO_SPEED = 5,  // pixels per tick while an arrow key is held
    HERO_STEP = 4,   // pixels for each key press, so that a tap moves him too
    FLASH_TICKS = 12,
    DECOR_COUNT = 14,
};

enum {
    PHASE_TITLE,
    PHASE_PLAY,
    PHASE_DONE,
};

enum {
    HELD_LEFT,
    HELD_RIGHT,
    HELD_UP,
    HELD_DOWN,
    HELD_COUNT,
};

static const double PI = 3.14159265358979323846;
static const COLORREF HERO_YELLOW = RGB(255, 214, 40);
static const COLORREF HERO_EDGE = RGB(196, 140, 0);
static const COLORREF LEAF_GREEN = RGB(70, 170, 60);
static const COLORREF INK = RGB(30, 24, 20);
static const COLORREF WHITE = RGB(255, 255, 255);

struct GameState {
    const EpisodeContent* content;
    HINSTANCE instance;
    HWND window;
    HDC back_dc;
    HBITMAP back_bitmap;
    HGDIOBJ back_old_bitmap;
    HFONT big_font;
    HFONT small_font;
    int32_t phase;
    int32_t tick;
    int32_t phase_tick;
    int32_t hero_x;
    int32_t hero_y;
    int32_t look_x;
    int32_t look_y;
    int32_t held[HELD_COUNT];
    int32_t collected[MAX_STARS];
    int32_t collected_count;
    int32_t bumps;
    int32_t flash;
    int32_t finished;
    int32_t result;
};

static GameState game;

// ---- small GDI helpers: each makes its pen and brush, draws, and deletes them again ----

static void fill_rect(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom,
                      COLORREF colour)
{
    RECT area = {left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

static void shape_begin(HDC dc, COLORREF fill, COLORREF edge, int32_t edge_width, HGDIOBJ* old_pen,
                        HGDIOBJ* old_brush)
{
    *old_pen = SelectObject(dc, CreatePen(PS_SOLID, edge_width, edge));
    *old_brush = SelectObject(dc, CreateSolidBrush(fill));
}

static void shape_end(HDC dc, HGDIOBJ old_pen, HGDIOBJ old_brush)
{
    DeleteObject(SelectObject(dc, old_pen));
    DeleteObject(SelectObject(dc, old_brush));
}

static void fill_circle(HDC dc, int32_t x, int32_t y, int32_t rx, int32_t ry, COLORREF fill,
                        COLORREF edge, int32_t edge_width)
{
    HGDIOBJ pen, brush;
    shape_begin(dc, fill, edge, edge_width, &pen, &brush);
    Ellipse(dc, x - rx, y - ry, x + rx + 1, y + ry + 1);
    shape_end(dc, pen, brush);
}

static void fill_polygon(HDC dc, const POINT* points, int32_t count, COLORREF fill, COLORREF edge)
{
    HGDIOBJ pen, brush;
    shape_begin(dc, fill, edge, 1, &pen, &brush);
    Polygon(dc, points, count);
    shape_end(dc, pen, brush);
}

static void draw_line(HDC dc, int32_t x0, int32_t y0, int32_t x1, int32_t y1, COLORREF colour,
                      int32_t width)
{
    HGDIOBJ old = SelectObject(dc, CreatePen(PS_SOLID, width, colour));
    MoveToEx(dc, x0, y0, NULL);
    LineTo(dc, x1, y1);
    DeleteObject(SelectObject(dc, old));
}

static COLORREF blend(COLORREF a, COLORREF b, int32_t part, int32_t whole)
{
    return RGB(GetRValue(a) + (GetRValue(b) - GetRValue(a)) * part / whole,
               GetGValue(a) + (GetGValue(b) - GetGValue(a)) * part / whole,
               GetBValue(a) + (GetBValue(b) - GetBValue(a)) * part / whole);
}

static void draw_text(HDC dc, HFONT font, const char* text, int32_t left, int32_t top,
                      int32_t right, int32_t bottom, COLORREF colour, UINT format)
{
    RECT area = {left, top, right, bottom};
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextA(dc, text, -1, &area, format | DT_NOPREFIX);
    SelectObject(dc, old);
}

// A fixed sequence of pseudo-random numbers per episode, so the scenery stays where it is.
static uint32_t decor_random(uint32_t* seed)
{
    *seed = *seed * 1103515245u + 12345u;
    return (*seed >> 16) & 0x7fff;
}

// ---- the pieces of a frame ----

static void draw_sky(HDC dc, const EpisodeContent* c)
{
    const int32_t BAND = 8;
    for (int32_t y = 0; y < SCENE_HEIGHT; y += BAND)
        fill_rect(dc, 0, y, SCENE_WIDTH, y + BAND, blend(c->sky_top, c->sky_bottom, y, SCENE_HEIGHT));
}

static void draw_cloud(HDC dc, int32_t x, int32_t y, int32_t size, COLORREF colour)
{
    fill_circle(dc, x, y, size, size * 2 / 3, colour, colour, 1);
    fill_circle(dc, x - size, y + size / 4, size * 2 / 3, size / 2, colour, colour, 1);
    fill_circle(dc, x + size, y + size / 4, size * 3 / 4, size / 2, colour, colour, 1);
}

static void draw_meadow(HDC dc, const EpisodeContent* c, uint32_t seed)
{
    fill_circle(dc, 560, 80, 34, 34, RGB(255, 240, 150), RGB(255, 220, 90), 3);
    draw_cloud(dc, 140, 90, 30, RGB(250, 250, 255));
    draw_cloud(dc, 380, 70, 24, RGB(250, 250, 255));
    fill_circle(dc, 120, 470, 260, 130, blend(c->ground, WHITE, 1, 6), c->ground, 1);
    fill_circle(dc, 520, 480, 280, 150, c->ground, c->ground, 1);
    for (int32_t i = 0; i < DECOR_COUNT; i++) {
        int32_t x = 20 + (int32_t)(decor_random(&seed) % 600);
        int32_t y = 380 + (int32_t)(decor_random(&seed) % 90);
        draw_line(dc, x, y, x, y + 10, LEAF_GREEN, 2);
        COLORREF petal = (i % 3 == 0) ? RGB(255, 255, 255) : c->detail;
        fill_circle(dc, x, y, 5, 5, petal, petal, 1);
        fill_circle(dc, x, y, 2, 2, RGB(255, 200, 0), RGB(255, 200, 0), 1);
    }
}

static void draw_caves(HDC dc, const EpisodeContent* c, uint32_t seed)
{
    for (int32_t i = 0; i < DECOR_COUNT; i++) {
        int32_t x = (int32_t)(decor_random(&seed) % SCENE_WIDTH);
        int32_t length = 30 + (int32_t)(decor_random(&seed) % 70);
        POINT spike[3] = {{x - 14, HUD_HEIGHT}, {x + 14, HUD_HEIGHT}, {x, HUD_HEIGHT + length}};
        fill_polygon(dc, spike, 3, blend(c->ground, c->sky_top, 1, 3), c->ground);
    }
    fill_rect(dc, 0, 440, SCENE_WIDTH, SCENE_HEIGHT, c->ground);
    for (int32_t i = 0; i < 9; i++) {
        int32_t x = 30 + i * 72 + (int32_t)(decor_random(&seed) % 20);
        int32_t height = 14 + (int32_t)(decor_random(&seed) % 16);
        // The caps glow brighter and dimmer in turn.
        int32_t glow = (game.tick / 4 + i * 5) % 20;
        COLORREF cap = blend(c->detail, WHITE, glow < 10 ? glow : 20 - glow, 25);
        fill_rect(dc, x - 3, 440 - height, x + 3, 442, RGB(230, 220, 200));
        fill_circle(dc, x, 440 - height, 14, 8, cap, blend(cap, INK, 1, 3), 1);
    }
}

static void draw_cliffs(HDC dc, const EpisodeContent* c, uint32_t seed)
{
    POINT left_wall[6] = {{0, HUD_HEIGHT}, {70, HUD_HEIGHT}, {50, 180}, {90, 300}, {60, 480}, {0, 480}};
    POINT right_wall[6] = {{640, HUD_HEIGHT}, {590, HUD_HEIGHT}, {610, 150}, {570, 320},
                           {600, 480}, {640, 480}};
    fill_polygon(dc, left_wall, 6, c->ground, blend(c->ground, INK, 1, 2));
    fill_polygon(dc, right_wall, 6, c->ground, blend(c->ground, INK, 1, 2));
    for (int32_t i = 0; i < 8; i++) {
        int32_t y = 60 + (int32_t)(decor_random(&seed) % 400);
        int32_t length = 40 + (int32_t)(decor_random(&seed) % 60);
        // Streaks blow across with the wind.
        int32_t x = (int32_t)((decor_random(&seed) + (uint32_t)game.tick * 9) % (SCENE_WIDTH + 200)) - 100;
        draw_line(dc, x, y, x + length, y, c->detail, 2);
    }
}

static void draw_swamp(HDC dc, const EpisodeContent* c, uint32_t seed)
{
    for (int32_t i = 0; i < 6; i++) {
        int32_t x = 40 + i * 110;
        int32_t top = 250 + (int32_t)(decor_random(&seed) % 80);
        fill_rect(dc, x - 4, top, x + 4, 480, blend(c->ground, INK, 1, 2));  // dead reeds
        fill_circle(dc, x, top, 7, 16, RGB(120, 80, 50), RGB(90, 60, 40), 1);
    }
    fill_rect(dc, 0, 400, SCENE_WIDTH, SCENE_HEIGHT, c->ground);
    for (int32_t i = 0; i < 5; i++) {
        int32_t x = 60 + i * 130 + (int32_t)(decor_random(&seed) % 30);
        int32_t y = 420 + (int32_t)(decor_random(&seed) % 40);
        fill_circle(dc, x, y, 26, 9, c->detail, blend(c->detail, INK, 1, 3), 1);
    }
    for (int32_t i = 0; i < 8; i++) {
        int32_t x = (int32_t)(decor_random(&seed) % SCENE_WIDTH);
        int32_t y = 470 - (int32_t)((decor_random(&seed) + (uint32_t)game.tick * 2) % 80);
        fill_circle(dc, x, y, 3, 3, blend(c->ground, WHITE, 1, 2), blend(c->ground, WHITE, 2, 3), 1);
    }
}

static void draw_clouds(HDC dc, const EpisodeContent* c, uint32_t seed)
{
    // The castle, far off on its own cloud.
    const COLORREF stone = blend(c->detail, c->sky_top, 1, 3);
    fill_rect(dc, 470, 120, 600, 200, stone);
    fill_rect(dc, 455, 80, 490, 200, stone);
    fill_rect(dc, 580, 80, 615, 200, stone);
    POINT roof_left[3] = {{450, 82}, {495, 82}, {472, 40}};
    POINT roof_right[3] = {{575, 82}, {620, 82}, {597, 40}};
    fill_polygon(dc, roof_left, 3, RGB(200, 90, 140), RGB(160, 60, 110));
    fill_polygon(dc, roof_right, 3, RGB(200, 90, 140), RGB(160, 60, 110));
    fill_circle(dc, 535, 175, 14, 24, RGB(120, 80, 120), RGB(120, 80, 120), 1);
    draw_cloud(dc, 535, 205, 60, WHITE);
    for (int32_t i = 0; i < 6; i++) {
        int32_t y = 260 + (int32_t)(decor_random(&seed) % 200);
        int32_t size = 24 + (int32_t)(decor_random(&seed) % 22);
        int32_t x = (int32_t)((decor_random(&seed) + (uint32_t)game.tick) % (SCENE_WIDTH + 160)) - 80;
        draw_cloud(dc, x, y, size, c->detail);
    }
}

static void draw_star(HDC dc, int32_t x, int32_t y, int32_t radius, COLORREF colour)
{
    POINT points[10];
    for (int32_t i = 0; i < 10; i++) {
        double angle = -PI / 2 + i * PI / 5;
        double r = (i % 2 == 0) ? radius : radius * 0.45;
        points[i].x = x + (LONG)lround(r * cos(angle));
        points[i].y = y + (LONG)lround(r * sin(angle));
    }
    fill_polygon(dc, points, 10, colour, blend(colour, INK, 1, 3));
}

static void draw_hazard(HDC dc, const EpisodeContent* c, int32_t x, int32_t y)
{
    const int32_t r = HAZARD_RADIUS;
    switch (c->scenery) {
    case SCENERY_MEADOW: {  // a bee with beating wings
        int32_t wing = (game.tick / 2) % 2 ? 8 : 5;
        fill_circle(dc, x - 5, y - 12, 7, wing, RGB(230, 240, 255), RGB(150, 170, 200), 1);
        fill_circle(dc, x + 5, y - 12, 7, wing, RGB(230, 240, 255), RGB(150, 170, 200), 1);
        fill_circle(dc, x, y, r, r * 2 / 3, c->hazard, INK, 2);
        draw_line(dc, x - 4, y - 8, x - 4, y + 8, INK, 3);
        draw_line(dc, x + 4, y - 8, x + 4, y + 8, INK, 3);
        fill_circle(dc, x + 10, y - 2, 2, 2, INK, INK, 1);
        break;
    }
    case SCENERY_CAVES:  // a spore puff
    case SCENERY_CLIFFS: {  // a tumbling rock
        const int32_t SPIKES = c->scenery == SCENERY_CAVES ? 8 : 6;
        POINT points[16];
        double turn = game.tick * (c->scenery == SCENERY_CLIFFS ? 0.15 : 0.05);
        for (int32_t i = 0; i < SPIKES * 2; i++) {
            double angle = turn + i * PI / SPIKES;
            double radius = (i % 2 == 0) ? r + 3 : r - 4;
            points[i].x = x + (LONG)lround(radius * cos(angle));
            points[i].y = y + (LONG)lround(radius * sin(angle));
        }
        fill_polygon(dc, points, SPIKES * 2, c->hazard, blend(c->hazard, INK, 1, 2));
        fill_circle(dc, x - 4, y - 2, 3, 3, WHITE, INK, 1);
        fill_circle(dc, x + 4, y - 2, 3, 3, WHITE, INK, 1);
        break;
    }
    case SCENERY_SWAMP:  // a wobbling bubble
        fill_circle(dc, x, y, r + (game.tick / 3) % 2, r, c->hazard, blend(c->hazard, WHITE, 1, 2), 2);
        fill_circle(dc, x - 5, y - 6, 4, 3, WHITE, WHITE, 1);
        break;
    default: {  // a storm cloud with a spark
        draw_cloud(dc, x, y, r, c->hazard);
        if ((game.tick / 6) % 3 == 0) {
            POINT bolt[4] = {{x - 2, y + 6}, {x + 5, y + 6}, {x - 1, y + 22}, {x + 1, y + 12}};
            fill_polygon(dc, bolt, 4, RGB(255, 240, 80), RGB(255, 200, 0));
        }
        break;
    }
    }
}

static void draw_hero(HDC dc, int32_t x, int32_t y)
{
    const int32_t r = HERO_RADIUS;
    COLORREF body = game.flash > 0 && (game.flash / 2) % 2 ? RGB(255, 120, 90) : HERO_YELLOW;
    // The leaf sprout on top.
    draw_line(dc, x, y - r, x + 2, y - r - 9, LEAF_GREEN, 2);
    POINT leaf[4] = {{x + 2, y - r - 8}, {x + 9, y - r - 16}, {x + 17, y - r - 12}, {x + 8, y - r - 6}};
    fill_polygon(dc, leaf, 4, LEAF_GREEN, RGB(40, 120, 40));
    fill_circle(dc, x, y, r, r, body, HERO_EDGE, 2);
    // Eyes that look where he rolls.
    for (int32_t side = -1; side <= 1; side += 2) {
        int32_t ex = x + side * 5 + game.look_x * 3;
        int32_t ey = y - 4 + game.look_y * 2;
        fill_circle(dc, ex, ey, 4, 5, WHITE, INK, 1);
        fill_circle(dc, ex + game.look_x * 2, ey + game.look_y * 2, 2, 2, INK, INK, 1);
    }
    HGDIOBJ pen = SelectObject(dc, CreatePen(PS_SOLID, 2, INK));
    Arc(dc, x - 7 + game.look_x * 3, y - 2, x + 8 + game.look_x * 3, y + 10, x - 7, y + 5, x + 8, y + 5);
    DeleteObject(SelectObject(dc, pen));
}

static void draw_hud(HDC dc, const EpisodeContent* c)
{
    fill_rect(dc, 0, 0, SCENE_WIDTH, HUD_HEIGHT, blend(c->sky_top, INK, 2, 3));
    char text[128];
    snprintf(text, sizeof(text), "  Episode %d: %s", (int)c->number, c->title);
    draw_text(dc, game.small_font, text, 0, 0, 320, HUD_HEIGHT, WHITE, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    snprintf(text, sizeof(text), "Stars %d/%d", (int)game.collected_count, (int)c->star_count);
    draw_text(dc, game.small_font, text, 250, 0, 360, HUD_HEIGHT, RGB(255, 230, 120),
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    draw_text(dc, game.small_font, "Back (Esc)    Quit game (Q)  ", 360, 0, SCENE_WIDTH, HUD_HEIGHT,
              WHITE, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
}

static void draw_panel(HDC dc, const EpisodeContent* c, int32_t top, int32_t bottom)
{
    HGDIOBJ pen, brush;
    shape_begin(dc, blend(c->sky_top, INK, 3, 4), c->star, 3, &pen, &brush);
    RoundRect(dc, 90, top, SCENE_WIDTH - 90, bottom, 30, 30);
    shape_end(dc, pen, brush);
}

static void draw_title_card(HDC dc, const EpisodeContent* c)
{
    draw_panel(dc, c, 110, 370);
    char text[64];
    snprintf(text, sizeof(text), "Episode %d", (int)c->number);
    draw_text(dc, game.small_font, text, 90, 130, SCENE_WIDTH - 90, 160, c->star,
              DT_CENTER | DT_SINGLELINE);
    draw_text(dc, game.big_font, c->title, 90, 160, SCENE_WIDTH - 90, 220, WHITE,
              DT_CENTER | DT_SINGLELINE);
    draw_text(dc, game.small_font, c->tagline, 100, 225, SCENE_WIDTH - 100, 285, RGB(230, 230, 230),
              DT_CENTER | DT_WORDBREAK);
    draw_text(dc, game.small_font, "Arrow keys roll Bolvo. Collect every star!", 90, 295,
              SCENE_WIDTH - 90, 320, WHITE, DT_CENTER | DT_SINGLELINE);
    // A gentle blink invites the player in.
    if ((game.tick / 15) % 2 == 0)
        draw_text(dc, game.small_font, "Press Space to start", 90, 330, SCENE_WIDTH - 90, 355,
                  c->star, DT_CENTER | DT_SINGLELINE);
}

static void draw_done_card(HDC dc, const EpisodeContent* c)
{
    draw_panel(dc, c, 150, 330);
    draw_text(dc, game.big_font, "Well rolled, Bolvo!", 90, 170, SCENE_WIDTH - 90, 230, WHITE,
              DT_CENTER | DT_SINGLELINE);
    char text[96];
    snprintf(text, sizeof(text), "All %d stars of %s found, %d bump%s on the way.",
             (int)c->star_count, c->title, (int)game.bumps, game.bumps == 1 ? "" : "s");
    draw_text(dc, game.small_font, text, 100, 240, SCENE_WIDTH - 100, 270, c->star,
              DT_CENTER | DT_SINGLELINE);
    draw_text(dc, game.small_font, "Esc: back to the episodes      Q: quit game", 90, 285,
              SCENE_WIDTH - 90, 310, WHITE, DT_CENTER | DT_SINGLELINE);
}

// A hazard's place at the current tick: it sways along its direction and back.
static Spot hazard_position(const Hazard* hazard)
{
    Spot at = {hazard->x, hazard->y};
    if (hazard->range <= 0)
        return at;
    int32_t phase = (game.tick * hazard->speed) % (2 * hazard->range);
    int32_t offset = phase < hazard->range ? phase : 2 * hazard->range - phase;
    at.x += hazard->dir_x * offset;
    at.y += hazard->dir_y * offset;
    return at;
}

static void render_frame(HDC dc)
{
    const EpisodeContent* c = game.content;
    uint32_t seed = 7919u * (uint32_t)c->number;
    draw_sky(dc, c);
    switch (c->scenery) {
    case SCENERY_MEADOW: draw_meadow(dc, c, seed); break;
    case SCENERY_CAVES: draw_caves(dc, c, seed); break;
    case SCENERY_CLIFFS: draw_cliffs(dc, c, seed); break;
    case SCENERY_SWAMP: draw_swamp(dc, c, seed); break;
    default: draw_clouds(dc, c, seed); break;
    }
    for (int32_t i = 0; i < c->star_count; i++) {
        if (!game.collected[i]) {
            int32_t twinkle = ((game.tick + i * 7) / 8) % 2;
            draw_star(dc, c->stars[i].x, c->stars[i].y, STAR_RADIUS + twinkle, c->star);
        }
    }
    for (int32_t i = 0; i < c->hazard_count; i++) {
        Spot at = hazard_position(&c->hazards[i]);
        draw_hazard(dc, c, at.x, at.y);
    }
    draw_hero(dc, game.hero_x, game.hero_y);
    draw_hud(dc, c);
    if (game.phase == PHASE_TITLE)
        draw_title_card(dc, c);
    else if (game.phase == PHASE_DONE)
        draw_done_card(dc, c);
}

// ---- play ----

static void move_hero(int32_t dx, int32_t dy)
{
    game.hero_x += dx;
    game.hero_y += dy;
    if (game.hero_x < HERO_RADIUS)
        game.hero_x = HERO_RADIUS;
    if (game.hero_x > SCENE_WIDTH - HERO_RADIUS)
        game.hero_x = SCENE_WIDTH - HERO_RADIUS;
    if (game.hero_y < HUD_HEIGHT + HERO_RADIUS + 16)  // room for the sprout
        game.hero_y = HUD_HEIGHT + HERO_RADIUS + 16;
    if (game.hero_y > SCENE_HEIGHT - HERO_RADIUS)
        game.hero_y = SCENE_HEIGHT - HERO_RADIUS;
}

static int32_t close_to(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t distance)
{
    int32_t dx = x1 - x0;
    int32_t dy = y1 - y0;
    return dx * dx + dy * dy < distance * distance;
}

static void update_play(void)
{
    const EpisodeContent* c = game.content;
    int32_t dx = (game.held[HELD_RIGHT] - game.held[HELD_LEFT]) * HERO_SPEED;
    int32_t dy = (game.held[HELD_DOWN] - game.held[HELD_UP]) * HERO_SPEED;
    if (c->wind != 0 && game.tick % 2 == 0)
        dx += c->wind;
    move_hero(dx, dy);
    if (game.flash > 0)
        game.flash--;

    for (int32_t i = 0; i < c->star_count; i++) {
        if (!game.collected[i] &&
            close_to(game.hero_x, game.hero_y, c->stars[i].x, c->stars[i].y, HERO_RADIUS + STAR_RADIUS)) {
            game.collected[i] = 1;
            game.collected_count++;
        }
    }
    if (game.flash == 0) {
        for (int32_t i = 0; i < c->hazard_count; i++) {
            Spot at = hazard_position(&c->hazards[i]);
            if (close_to(game.hero_x, game.hero_y, at.x, at.y, HERO_RADIUS + HAZARD_RADIUS - 6)) {
                // Bumped: back to the start, stars kept, a moment of blinking to recover.
                game.bumps++;
                game.flash = FLASH_TICKS;
                game.hero_x = c->start.x;
                game.hero_y = c->start.y;
                break;
            }
        }
    }
    if (game.collected_count == c->star_count) {
        game.phase = PHASE_DONE;
        game.phase_tick = 0;
    }
}

static void finish(int32_t result)
{
    if (game.finished)
        return;
    game.finished = 1;
    game.result = result;
    KillTimer(game.window, TIMER_ID);
    DestroyWindow(game.window);
}

static void start_play(void)
{
    if (game.phase == PHASE_TITLE) {
        game.phase = PHASE_PLAY;
        game.phase_tick = 0;
    }
}

static int32_t held_index(WPARAM key)
{
    switch (key) {
    case VK_LEFT: return HELD_LEFT;
    case VK_RIGHT: return HELD_RIGHT;
    case VK_UP: return HELD_UP;
    case VK_DOWN: return HELD_DOWN;
    default: return -1;
    }
}

static void on_key_down(WPARAM key)
{
    if (key == VK_ESCAPE) {
        finish(EPISODE_BACK_TO_LAUNCHER);
        return;
    }
    if (key == 'Q') {
        finish(EPISODE_QUIT_GAME);
        return;
    }
    if (key == VK_SPACE || key == VK_RETURN) {
        start_play();
        return;
    }
    int32_t held = held_index(key);
    if (held < 0)
        return;
    start_play();
    game.held[held] = 1;
    static const int32_t STEP_X[HELD_COUNT] = {-1, 1, 0, 0};
    static const int32_t STEP_Y[HELD_COUNT] = {0, 0, -1, 1};
    game.look_x = STEP_X[held];
    game.look_y = STEP_Y[held];
    if (game.phase == PHASE_PLAY)
        move_hero(STEP_X[held] * HERO_STEP, STEP_Y[held] * HERO_STEP);
}

static LRESULT CALLBACK game_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_KEYDOWN:
        on_key_down(wparam);
        return 0;
    case WM_KEYUP: {
        int32_t held = held_index(wparam);
        if (held >= 0)
            game.held[held] = 0;
        return 0;
    }
    case WM_KILLFOCUS:
        memset(game.held, 0, sizeof(game.held));
        return 0;
    case WM_TIMER:
        game.tick++;
        game.phase_tick++;
        if (game.phase == PHASE_TITLE && game.phase_tick >= TITLE_TICKS)
            start_play();
        else if (game.phase == PHASE_PLAY)
            update_play();
        InvalidateRect(window, NULL, FALSE);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the frame covers everything
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (game.back_dc != NULL) {
            render_frame(game.back_dc);
            BitBlt(dc, 0, 0, SCENE_WIDTH, SCENE_HEIGHT, game.back_dc, 0, 0, SRCCOPY);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CLOSE:
        finish(EPISODE_BACK_TO_LAUNCHER);
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

static HINSTANCE engine_module(void)
{
    HMODULE module = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)(void*)&engine_module, &module);
    return module;
}

static HFONT make_font(int32_t height, int32_t weight)
{
    return CreateFontA(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, "Tahoma");
}

static int32_t open_window(void)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = game_window_proc;
    wc.hInstance = game.instance;
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.lpszClassName = BOLVO_GAME_WINDOW_NAME;
    if (RegisterClassExA(&wc) == 0)
        return 0;
    const DWORD STYLE = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame = {0, 0, SCENE_WIDTH, SCENE_HEIGHT};
    AdjustWindowRect(&frame, STYLE, FALSE);
    int32_t width = frame.right - frame.left;
    int32_t height = frame.bottom - frame.top;
    int32_t x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int32_t y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    game.window = CreateWindowExA(0, BOLVO_GAME_WINDOW_NAME, BOLVO_GAME_WINDOW_NAME, STYLE, x, y,
                                  width, height, NULL, NULL, game.instance, NULL);
    if (game.window == NULL)
        return 0;
    HDC window_dc = GetDC(game.window);
    game.back_dc = CreateCompatibleDC(window_dc);
    game.back_bitmap = CreateCompatibleBitmap(window_dc, SCENE_WIDTH, SCENE_HEIGHT);
    ReleaseDC(game.window, window_dc);
    game.back_old_bitmap = SelectObject(game.back_dc, game.back_bitmap);
    game.big_font = make_font(34, FW_BOLD);
    game.small_font = make_font(15, FW_BOLD);
    SetTimer(game.window, TIMER_ID, TICK_MS, NULL);
    ShowWindow(game.window, SW_SHOW);
    SetForegroundWindow(game.window);
    SetFocus(game.window);
    UpdateWindow(game.window);
    return 1;
}

// Releases everything the episode made, so that MAIN can run again in the same process.
static void close_window(void)
{
    if (game.window != NULL && IsWindow(game.window)) {
        KillTimer(game.window, TIMER_ID);
        DestroyWindow(game.window);
    }
    if (game.back_dc != NULL) {
        SelectObject(game.back_dc, game.back_old_bitmap);
        DeleteDC(game.back_dc);
    }
    if (game.back_bitmap != NULL)
        DeleteObject(game.back_bitmap);
    if (game.big_font != NULL)
        DeleteObject(game.big_font);
    if (game.small_font != NULL)
        DeleteObject(game.small_font);
    UnregisterClassA(BOLVO_GAME_WINDOW_NAME, game.instance);
}

int play_episode(const EpisodeContent* content)
{
    GameState fresh = {};
    game = fresh;
    game.content = content;
    game.instance = engine_module();
    game.phase = PHASE_TITLE;
    game.hero_x = content->start.x;
    game.hero_y = content->start.y;
    game.look_x = 1;
    game.result = EPISODE_BACK_TO_LAUNCHER;

    if (open_window()) {
        MSG msg;
        while (!game.finished) {
            BOOL got = GetMessageA(&msg, NULL, 0, 0);
            if (got == 0) {
                // Someone asked the thread to end: leave, and leave the request for the caller.
                PostQuitMessage((int)msg.wParam);
                break;
            }
            if (got < 0)
                break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    close_window();
    int result = game.result;
    game = fresh;
    return result;
}
