#pragma once
// The least any crash-safe replacing copy of a folder does on Linux, as a
// yardstick for ours: each file is written into the file it replaced last
// (emptied), its write-back is started, and it is exchanged with its target
// (renameat2 RENAME_EXCHANGE), addressed by folder descriptors and bare names.
// It checks nothing at all (links, other names, owners, read-only or hidden
// targets, attributes), so it is for measuring only, never for real folders.

#include <string>

namespace vrx::bench {

// Copies every file of sourceFolder over the files of the same names in
// targetFolder, in the order the folder lists them (as ours does), as above;
// exits the benchmark on any failure.
void BareExchangeCopy(const std::string& sourceFolder, const std::string& targetFolder);

}  // namespace vrx::bench
