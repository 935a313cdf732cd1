// Backups and installs on a file system whose files can share data (XFS with
// reflink): every copy the engines make shares its source's data instead of
// writing it again, so that the free space hardly moves however much is
// copied, and a source changed afterwards leaves its copies as they were.
// Run through tests/reflink/run-on-xfs, which puts the temporary folders on
// such a file system made for the run.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "SharedData.h"
#include "backup/BackupEngine.h"
#include "backup/BackupFixture.h"
#include "install/InstallCommand.h"
#include "install/SessionRig.h"

namespace vrx {
namespace {

using test::Extent;
using test::ReadFile;
using test::WriteFile;

// Files of all kinds of sizes: several extents' worth, an odd tail, exactly
// one block, a few bytes.
struct Sample {
    const char* name;
    std::size_t size;
};
constexpr std::size_t kMiB = 1024 * 1024;
const Sample kSamples[] = {
    {"ground.bmp", 4 * kMiB + 17},
    {"water.bmp", 4 * kMiB},
    {"runway.bmp", 2 * kMiB + 4095},
    {"roofs.bmp", 2 * kMiB},
    {"trees.bmp", kMiB},
    {"lights.bmp", 65537},
    {"sign.bmp", 4096},
    {"dot.bmp", 5},
};

// Bytes that differ from position to position and from seed to seed.
std::string Pattern(std::size_t size, std::uint32_t seed) {
    std::string bytes(size, '\0');
    std::uint32_t x = seed;
    for (auto& b : bytes) {
        x = x * 1103515245 + 12345;
        b = static_cast<char>(x >> 24);
    }
    return bytes;
}

std::int64_t SampleBytes() {
    std::int64_t total = 0;
    for (const Sample& s : kSamples) total += static_cast<std::int64_t>(s.size);
    return total;
}

// Lays down every sample in folder with the seed's bytes.
void WriteSamples(const std::string& folder, std::uint32_t seed) {
    for (const Sample& s : kSamples) WriteFile(folder + "/" + s.name, Pattern(s.size, seed));
}

// Writes new bytes over each sample's own blocks, as a program that updates a
// file in place does: the file keeps its name and inode.
void RewriteSamplesInPlace(const std::string& folder, std::uint32_t seed) {
    for (const Sample& s : kSamples) {
        const std::string path = folder + "/" + s.name;
        const std::string bytes = Pattern(s.size, seed);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0) << path;
        ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size())) << path;
        ASSERT_EQ(::close(fd), 0) << path;
    }
}

// Each sample in copies holds the seed's bytes and shares every extent of its
// data with the same sample in sources: the same blocks of the device, marked
// shared on both sides.
void ExpectCopiesShareTheirSources(const std::string& sources, const std::string& copies, std::uint32_t seed) {
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.name);
        const std::string copy = copies + "/" + s.name;
        EXPECT_EQ(ReadFile(copy), Pattern(s.size, seed));
        const std::vector<Extent> source = test::ExtentsOf(sources + "/" + s.name);
        const std::vector<Extent> copied = test::ExtentsOf(copy);
        ASSERT_FALSE(copied.empty());
        EXPECT_EQ(copied, source) << "the copy's data lies elsewhere than its source's";
        for (const Extent& e : copied) {
            EXPECT_TRUE(e.shared) << "extent at " << e.logical << " of " << e.length << " bytes is not shared";
        }
    }
}

// The copies' bytes must not move the free space by more than a sixteenth of
// what they hold: a copy written out would take all of it.
void ExpectFarLessSpaceThanCopied(std::int64_t freeBefore, std::int64_t freeAfter) {
    const std::int64_t copied = SampleBytes();
    const std::int64_t taken = freeBefore - freeAfter;
    EXPECT_LT(taken, copied / 16) << "copies of " << copied << " bytes took " << taken << " bytes of free space";
    std::printf("copies of %lld bytes took %lld bytes of free space\n", static_cast<long long>(copied),
                static_cast<long long>(taken));
}

// The samples' names, sorted: all a run leaves in its target folder, no temporary file beside them.
std::vector<std::string> SampleNames() {
    std::vector<std::string> names;
    for (const Sample& s : kSamples) names.push_back(s.name);
    std::sort(names.begin(), names.end());
    return names;
}

// Runs run, which must ask nothing, and checks that it left exactly the
// samples in to, each sharing the data of its source in from (written in
// generation), in far less space than their bytes.
void ExpectRunSharesData(const std::string& volume, const test::ScriptedPrompts& prompts,
                         const std::function<void()>& run, const std::string& from, const std::string& to,
                         int generation) {
    const std::int64_t before = test::FreeBytesAfterSync(volume);
    run();
    const std::int64_t after = test::FreeBytesAfterSync(volume);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(test::ListNames(to), SampleNames());
    ExpectCopiesShareTheirSources(from, to, generation);
    ExpectFarLessSpaceThanCopied(before, after);
}

class SharedExtents : public ::testing::Test {
protected:
    static void ExpectSharingFileSystem(const std::string& folder) {
        const std::string why = test::WhyNotSharingData(folder);
        ASSERT_EQ(why, "") << "this test needs a file system that shares data";
    }
};

// A backup, a backup over it after the simulator's files changed, and a
// restore over changed simulator files: each copy shares its source's data.
TEST_F(SharedExtents, BackupAndRestoreCopiesShareTheirSourcesData) {
    test::BackupFixture f;
    ASSERT_NO_FATAL_FAILURE(ExpectSharingFileSystem(f.tmp.path()));
    const std::string sim = f.simFolder + "/Texture";
    std::vector<std::string> list{std::to_string(std::size(kSamples) + 1)};
    for (const Sample& s : kSamples) list.push_back(s.name);
    list.push_back("end");
    std::string listBytes;
    for (const std::string& line : list) listBytes += line + "\r\n";
    WriteFile(f.appFolder + "/backup.lst", listBytes);
    f.SetSlots({"Texture"});
    WriteSamples(sim, 1);

    {
        SCOPED_TRACE("backup into an empty folder");
        ExpectRunSharesData(
            f.tmp.path(), f.prompts, [&] { RunBackupFolderLoop(f.session, BackupRun::CreateMain); }, sim,
            f.backupFolder, 1);
    }
    {
        SCOPED_TRACE("backup over the first one, after the simulator's files changed in place");
        ASSERT_NO_FATAL_FAILURE(RewriteSamplesInPlace(sim, 2));
        for (const Sample& s : kSamples) EXPECT_EQ(ReadFile(f.backupFolder + "/" + s.name), Pattern(s.size, 1));
        ExpectRunSharesData(
            f.tmp.path(), f.prompts, [&] { RunBackupFolderLoop(f.session, BackupRun::CreateMain); }, sim,
            f.backupFolder, 2);
    }
    {
        SCOPED_TRACE("restore over changed simulator files");
        ASSERT_NO_FATAL_FAILURE(RewriteSamplesInPlace(sim, 3));
        for (const Sample& s : kSamples) EXPECT_EQ(ReadFile(f.backupFolder + "/" + s.name), Pattern(s.size, 2));
        ExpectRunSharesData(
            f.tmp.path(), f.prompts, [&] { RunBackupFolderLoop(f.session, BackupRun::RestoreMain); }, f.backupFolder,
            sim, 2);
    }
}

// An install into an empty simulator folder, then again over it once the
// add-on's files changed in place: each copy shares its source's data. One
// source has a second name elsewhere, so that the run copies it itself rather
// than a worker ahead of it: both ways of making a new file are seen.
TEST_F(SharedExtents, InstallCopiesShareTheirSourcesData) {
    test::SessionRig rig;
    ASSERT_NO_FATAL_FAILURE(ExpectSharingFileSystem(rig.dir.path()));
    rig.settings.fspath = rig.dir / "fsx";
    SceneryArea area;
    area.Name = "North";
    area.SourceFolder = "Textures/North";
    area.TargetFolder = "Texture/North";
    const std::vector<SceneryArea> areas{area};
    const std::string source = rig.appFolder + "/Textures/North";
    const std::string target = rig.dir / "fsx/Texture/North";
    WriteSamples(source, 1);
    test::MakeDirs(target);
    test::MakeDirs(rig.dir / "elsewhere");
    ASSERT_EQ(::link((source + "/runway.bmp").c_str(), (rig.dir / "elsewhere/runway.bmp").c_str()), 0);
    const test::TestRows rows({{"North", true}});

    {
        SCOPED_TRACE("install into an empty folder");
        ExpectRunSharesData(
            rig.dir.path(), rig.prompts, [&] { EXPECT_TRUE(InstallSelectedAreas(rig.session, rows, areas)); }, source,
            target, 1);
    }
    {
        SCOPED_TRACE("install over the first one, after the add-on's files changed in place");
        ASSERT_NO_FATAL_FAILURE(RewriteSamplesInPlace(source, 2));
        for (const Sample& s : kSamples) EXPECT_EQ(ReadFile(target + "/" + s.name), Pattern(s.size, 1));
        ExpectRunSharesData(
            rig.dir.path(), rig.prompts, [&] { EXPECT_TRUE(InstallSelectedAreas(rig.session, rows, areas)); }, source,
            target, 2);
    }
}

}  // namespace
}  // namespace vrx
