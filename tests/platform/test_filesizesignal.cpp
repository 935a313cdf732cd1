#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/linux/FileSizeSignal.h"
#include "platform/linux/LinuxFileSystem.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

// In a child under a 64-byte file-size limit: writes a settings file and
// copies a texture, exiting 0 when both fail as failures should.
void WriteBeyondTheLimit(const test::TempDir& dir, bool ignoreSignal) {
    if (ignoreSignal) IgnoreFileSizeSignal();
    const rlimit limit{64, 64};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(9);
    LinuxFileSystem fs;
    const bool writeFailed =
        fs.writeTextFile(dir / "settings.cfg", std::vector<std::string>(50, "a line that will not fit")) ==
        WriteResult::Failed;
    const bool copyFailed = !fs.copyFile(dir / "big.dds", dir / "copy.dds").ok;
    _exit(writeFailed && copyFailed ? 0 : 1);
}

TEST(FileSizeSignal, IgnoredTheLimitFailsWritesInsteadOfKillingTheProgram) {
    for (const bool ignored : {true, false}) {
        SCOPED_TRACE(ignored ? "ignored" : "default action");
        test::TempDir dir;
        test::WriteFile(dir / "big.dds", std::string(4096, 'x'));
        if (ignored) {
            EXPECT_EXIT(WriteBeyondTheLimit(dir, true), ::testing::ExitedWithCode(0), "");
            EXPECT_EQ(test::ListNames(dir.path()), std::vector<std::string>{"big.dds"});
        } else {
            EXPECT_EXIT(WriteBeyondTheLimit(dir, false), ::testing::KilledBySignal(SIGXFSZ), "");
        }
    }
}

}  // namespace
}  // namespace vrx
