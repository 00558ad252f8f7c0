// The two questions asked about the machine before any window exists: can a DirectDraw 7 object
// be created, and how fast does the processor run.
#pragma once

#include <windows.h>
#include "launcher/cpu_clock.h"

HRESULT probe_directx(void);
HRESULT measure_cpu_mhz(uint32_t* mhz);
