// What a click does: the hotspot under the stored pointer position performs its action.
#pragma once

#include <windows.h>
#include <stdint.h>

int32_t do_action(int32_t index);
// Leaves the current page (hiding its child windows) and shows the target page.
void switch_page(int32_t target);

LRESULT on_left_button_down(void);
LRESULT on_left_button_up(void);
