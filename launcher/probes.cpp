// The start-up probes: DirectDraw 7 must be creatable, and the processor clock is measured by
// counting time-stamp ticks across one second of the runtime library's clock.
#include "launcher/probes.h"

#include <time.h>
#include <unknwn.h>
#ifdef _MSC_VER
#include <intrin.h>
#else
#include <cpuid.h>
#include <x86intrin.h>
#endif

// {15E65EC0-3B9C-11D2-B92F-00609797EA5B}; defined here so that no DirectX import library is
// needed: the probe loads ddraw.dll at run time and must not fail to start without it.
static const GUID IID_IDirectDraw7_value = {
    0x15e65ec0, 0x3b9c, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};

typedef HRESULT(WINAPI* direct_draw_create_ex_fn)(GUID* driver, void** object, REFIID iid,
                                                  IUnknown* outer);

HRESULT probe_directx(void)
{
    HMODULE library = LoadLibraryA("ddraw.dll");
    if (library == NULL)
        return E_FAIL;
    direct_draw_create_ex_fn create =
        (direct_draw_create_ex_fn)(void*)GetProcAddress(library, "DirectDrawCreateEx");
    if (create == NULL) {
        FreeLibrary(library);  // a DirectX older than 7
        return E_FAIL;
    }
    void* object = NULL;
    if (FAILED(create(NULL, &object, IID_IDirectDraw7_value, NULL))) {
        FreeLibrary(library);
        return E_FAIL;
    }
    ((IUnknown*)object)->Release();
    return S_OK;  // the library stays loaded after a successful probe
}

#ifdef _MSC_VER

// CPUID first, so that a processor without it faults here; then the start reading.
static HRESULT read_start_counter(uint64_t* start)
{
    __try {
        int registers[4];
        __cpuid(registers, 0);
        *start = __rdtsc();
    } __except (EXCEPTION_EXECUTE_HANDLER) {
        return E_FAIL;
    }
    return S_OK;
}

#else

// GCC has no __try: a vectored handler stands in for the guard. While the guard is up on this
// thread, a fault on CPUID (0F A2) or RDTSC (0F 31) is recorded and the two-byte instruction is
// skipped, so the probe can return its failure instead of the process dying.
static volatile LONG counter_fault;
static volatile DWORD guarded_thread;

static LONG CALLBACK counter_fault_handler(EXCEPTION_POINTERS* info)
{
    if (guarded_thread != GetCurrentThreadId())
        return EXCEPTION_CONTINUE_SEARCH;
    const unsigned char* code = (const unsigned char*)info->ContextRecord->Rip;
    if (code[0] != 0x0f || (code[1] != 0xa2 && code[1] != 0x31))
        return EXCEPTION_CONTINUE_SEARCH;
    counter_fault = 1;
    info->ContextRecord->Rip += 2;
    return EXCEPTION_CONTINUE_EXECUTION;
}

static HRESULT read_start_counter(uint64_t* start)
{
    PVOID handler = AddVectoredExceptionHandler(1, counter_fault_handler);
    counter_fault = 0;
    guarded_thread = GetCurrentThreadId();
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    __cpuid(0, eax, ebx, ecx, edx);
    uint64_t value = __rdtsc();
    guarded_thread = 0;
    RemoveVectoredExceptionHandler(handler);
    if (counter_fault)
        return E_FAIL;
    *start = value;
    return S_OK;
}

#endif

HRESULT measure_cpu_mhz(uint32_t* mhz)
{
    uint64_t start = 0;
    if (FAILED(read_start_counter(&start)))
        return E_FAIL;
    clock_t t0 = clock();
    // A full second of busy waiting: nothing sleeps, so the counter keeps its pace.
    while ((long)(clock() - t0) < CPU_MEASURE_INTERVAL_MS) {
    }
    uint64_t end = __rdtsc();
    *mhz = cpu_mhz_from_counter(start, end);
    return S_OK;
}
