// The sanitizer options every program of a sanitizer build starts with. The
// runtimes call these hooks before main; options given in the environment
// (ASAN_OPTIONS and the like) still override them.

#include <cstddef>

#ifndef VRX_SANITIZE_DIR
#error "VRX_SANITIZE_DIR names the folder of the suppressions files"
#endif

extern "C" {

// Options one program adds to the common ones (vrx_sanitizer_hosts_chromium
// in cmake/Sanitizers.cmake links a definition in); absent in the others.
extern const char* const vrx_extra_asan_options __attribute__((weak));

// Stop at the first error; keep the checks that cost little and catch much.
// Tests may preload a small library ahead of the runtime (a clock that jumps,
// for one); it replaces no allocation function, so the runtime's own check of
// coming first in the library list is off.
const char* __asan_default_options() {
    static const char common[] =
        "halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_string_checks=1:"
        "detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:"
        "verify_asan_link_order=0:suppressions=" VRX_SANITIZE_DIR "/asan.supp";
    if (&vrx_extra_asan_options == nullptr || vrx_extra_asan_options == nullptr) return common;
    // Called while the runtime starts: no allocation, no library call.
    static char combined[sizeof common + 256];
    std::size_t n = 0;
    for (const char* p = common; *p != '\0' && n + 1 < sizeof combined; ++p) combined[n++] = *p;
    if (n + 1 < sizeof combined) combined[n++] = ':';
    for (const char* p = vrx_extra_asan_options; *p != '\0' && n + 1 < sizeof combined; ++p) combined[n++] = *p;
    combined[n] = '\0';
    return combined;
}

const char* __lsan_default_options() {
    return "suppressions=" VRX_SANITIZE_DIR "/lsan.supp";
}

const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1:suppressions=" VRX_SANITIZE_DIR "/ubsan.supp";
}
}
