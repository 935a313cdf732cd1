// The sanitizer options every program of a sanitizer build starts with. The
// runtimes call these hooks before main; options given in the environment
// (ASAN_OPTIONS and the like) still override them.

#ifndef VRX_SANITIZE_DIR
#error "VRX_SANITIZE_DIR names the folder of the suppressions files"
#endif

extern "C" {

// Stop at the first error; keep the checks that cost little and catch much.
const char* __asan_default_options() {
    return "halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_string_checks=1:"
           "detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:"
           "suppressions=" VRX_SANITIZE_DIR "/asan.supp";
}

const char* __lsan_default_options() {
    return "suppressions=" VRX_SANITIZE_DIR "/lsan.supp";
}

const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1:suppressions=" VRX_SANITIZE_DIR "/ubsan.supp";
}
}
