// Status codes of the plain (portable) code: the same values as the Win32 S_OK and E_FAIL,
// so plain routines and Win32 routines report success and failure alike. Plain code has no
// windows.h to take them from. Callers treat any negative status as failure.
#ifndef BOLVO_LAUNCHER_STATUS_H
#define BOLVO_LAUNCHER_STATUS_H

#include <stdint.h>

constexpr int32_t STATUS_S_OK = 0;
constexpr int32_t STATUS_E_FAIL = (int32_t)0x80004005u;

#endif
