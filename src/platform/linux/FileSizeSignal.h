#pragma once
// Writing past the process's file-size limit raises SIGXFSZ, whose default
// action kills the program without a word. Ignored, the write fails with an
// error instead, and the engines report it and leave everything whole.

namespace vrx {

// Ignores SIGXFSZ for the whole process; every entry point that runs the engines calls it first.
void IgnoreFileSizeSignal();

}  // namespace vrx
