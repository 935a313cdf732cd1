# -DVERDANTIS_SANITIZE=ON: every target built with AddressSanitizer and
# UndefinedBehaviorSanitizer, stopping at the first report. Every program gets
# its sanitizer options and the suppressions files of cmake/sanitize compiled
# in, so a test, the program under the end-to-end test and a program run by
# hand all behave the same without any environment.
# -DVERDANTIS_FUZZ=ON (clang only): the libFuzzer targets of fuzz/, with the
# same sanitizers and coverage instrumentation of all our code.

option(VERDANTIS_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(VERDANTIS_FUZZ "Build the libFuzzer targets of fuzz/ (needs clang)" OFF)

if(VERDANTIS_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "VERDANTIS_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
endif()

if(VERDANTIS_SANITIZE OR VERDANTIS_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
  if(VERDANTIS_FUZZ)
    # Coverage feedback for libFuzzer in every library; only the fuzz targets link its main.
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
  add_library(vrx_sanitizer_options OBJECT ${PROJECT_SOURCE_DIR}/cmake/sanitize/SanitizerOptions.cpp)
  target_compile_definitions(vrx_sanitizer_options PRIVATE
    VRX_SANITIZE_DIR="${PROJECT_SOURCE_DIR}/cmake/sanitize")
  # The runtimes read these before their shadow memory exists: not instrumented.
  target_compile_options(vrx_sanitizer_options PRIVATE -fno-sanitize=all)
  add_library(vrx_sanitizer_chromium_options OBJECT ${PROJECT_SOURCE_DIR}/cmake/sanitize/ChromiumHostOptions.cpp)
  target_compile_options(vrx_sanitizer_chromium_options PRIVATE -fno-sanitize=all)
  # Into every executable made from here on, whichever folder adds it.
  link_libraries($<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:$<TARGET_OBJECTS:vrx_sanitizer_options>>)
endif()

# vrx_sanitizer_hosts_chromium(<target>): for a program that loads Qt
# WebEngine. Chromium's processes (QtWebEngineProcess) are not ours and get
# none of our options; its browser side runs inside our process, though, and
# trips a check no suppression can address (see ChromiumHostOptions.cpp).
function(vrx_sanitizer_hosts_chromium target)
  if(TARGET vrx_sanitizer_chromium_options)
    target_link_libraries(${target} PRIVATE vrx_sanitizer_chromium_options)
  endif()
endfunction()
