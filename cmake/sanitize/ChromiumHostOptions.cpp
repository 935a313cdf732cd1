// Linked into the programs that load Qt WebEngine (vrx_sanitizer_hosts_chromium).
// Its Chromium side runs inside the process and frees some objects with a
// size other than the one they were made with (ASan's new-delete-type-mismatch,
// reported from inside libQt6WebEngineCore). That check has no suppression by
// library, so these programs alone run without it; every other check stays on.

extern "C" {
extern const char* const vrx_extra_asan_options;
const char* const vrx_extra_asan_options = "new_delete_type_mismatch=0";
}
