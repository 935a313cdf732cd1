#pragma once
// The least any crash-safe replacing copy of a folder does on Linux, as
// yardsticks for ours. Each file is written into a file an earlier exchange
// took out of its target's place, and is then exchanged with its target
// (renameat2 RENAME_EXCHANGE), addressed by folder descriptors and bare names:
// - BareExchangeCopy empties the file it replaced last, starts the
//   write-back and exchanges at once, as ours does;
// - WrittenOverExchangeCopy writes over the old content of the file replaced
//   two copies earlier (two temporaries in turn), starts the write-back, and
//   waits for it to reach the disk one file later, just before that file's
//   exchange: on ext4 data written over old blocks is not ordered before the
//   journal's commit, so it must be on the disk first, and the wait overlaps
//   the next file's copy.
// Neither checks anything at all (links, other names, owners, read-only or
// hidden targets, attributes), so they are for measuring only, never for
// real folders.

#include <string>

namespace vrx::bench {

// Copies every file of sourceFolder over the files of the same names in
// targetFolder, in the order the folder lists them (as ours does), as above;
// exits the benchmark on any failure.
void BareExchangeCopy(const std::string& sourceFolder, const std::string& targetFolder);
void WrittenOverExchangeCopy(const std::string& sourceFolder, const std::string& targetFolder);

}  // namespace vrx::bench
