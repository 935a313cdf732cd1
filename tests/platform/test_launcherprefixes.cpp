// The prefixes game launchers made, found in a temporary home folder: their
// order, each prefix once, and game files that are skipped (broken, a pipe,
// too large, naming a relative path or a folder that is no prefix, hidden).

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/linux/LauncherPrefixes.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

using test::MakeDirs;
using test::WriteFile;

std::string GameFile(const std::string& prefix) {
    return "game:\n  exe: " + prefix + "/drive_c/fsx.exe\n  prefix: " + prefix + "\nsystem: {}\n";
}

TEST(LauncherPrefixes, InTheLaunchersOrderEachOnceWithUnusableFilesSkipped) {
    test::TempDir dir;
    // A relative prefix would name a prefix from here; it must name none.
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    const std::string before = cwd;
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    const std::string home = dir / "home";
    const std::string lutris = home + "/.config/lutris/games";
    MakeDirs(dir / "prefixes/lutris-b/drive_c");
    MakeDirs(dir / "prefixes/older/drive_c");
    MakeDirs(dir / "prefixes/huge/drive_c");
    MakeDirs(dir / "prefixes/hidden/drive_c");
    MakeDirs(dir / "prefixes/rel/drive_c");
    MakeDirs(dir / "plainfolder");
    MakeDirs(home + "/Games/other/drive_c");
    MakeDirs(home + "/Games/native-game/bin");
    WriteFile(home + "/Games/zz/system.reg", "WINE REGISTRY Version 2\n");
    WriteFile(lutris + "/a-other.yml", "game:\n  prefix: '~/Games/other/'\n");
    WriteFile(lutris + "/b-fsx.yml", GameFile(dir / "prefixes/lutris-b"));
    WriteFile(lutris + "/c-broken.yml", "game:\n  prefix: '" + (dir / "prefixes/rel") + "\n");
    ASSERT_EQ(mkfifo((lutris + "/d-pipe.yml").c_str(), 0600), 0);
    WriteFile(lutris + "/e-relative.yml", "game:\n  prefix: prefixes/rel\n");
    WriteFile(lutris + "/f-notprefix.yml", GameFile(dir / "plainfolder"));
    WriteFile(lutris + "/g-huge.yml",
              GameFile(dir / "prefixes/huge") + "notes: '" + std::string(300 << 10, 'x') + "'\n");
    WriteFile(lutris + "/.hidden.yml", GameFile(dir / "prefixes/hidden"));
    WriteFile(lutris + "/notes.txt", GameFile(dir / "prefixes/hidden"));
    WriteFile(home + "/.local/share/lutris/games/fsx.yml", GameFile(dir / "prefixes/older"));
    const std::string bottles = home + "/.local/share/bottles/bottles";
    MakeDirs(bottles + "/FSX/drive_c");
    MakeDirs(home + "/.var/app/com.usebottles.bottles/data/bottles/bottles/Steam/drive_c");
    MakeDirs(home + "/.PlayOnLinux/wineprefix/FSX/drive_c");
    ASSERT_EQ(symlink((bottles + "/FSX").c_str(), (home + "/.PlayOnLinux/wineprefix/Link").c_str()), 0);

    EXPECT_EQ(LauncherPrefixes(home),
              (std::vector<LauncherPrefix>{
                  {home + "/Games/other", "Lutris"},
                  {dir / "prefixes/lutris-b", "Lutris"},
                  {dir / "prefixes/older", "Lutris"},
                  {home + "/Games/zz", "Lutris"},
                  {bottles + "/FSX", "Bottles"},
                  {home + "/.var/app/com.usebottles.bottles/data/bottles/bottles/Steam", "Bottles"},
                  {home + "/.PlayOnLinux/wineprefix/FSX", "PlayOnLinux"},
              }));
    ASSERT_EQ(chdir(before.c_str()), 0);
}

TEST(LauncherPrefixes, AnEmptyHomeHasNone) {
    test::TempDir dir;
    EXPECT_EQ(LauncherPrefixes(dir.path()), std::vector<LauncherPrefix>{});
}

TEST(LauncherPrefixes, AFolderIsReadInNameOrderUpToItsLimit) {
    test::TempDir dir;
    for (const char* name : {"b", ".hidden", "a", "d", "c", "B"}) MakeDirs(dir / name);
    WriteFile(dir / "e.yml", "");
    EXPECT_EQ(SortedVisibleNames(dir.path(), 4), (std::vector<std::string>{"B", "a", "b", "c"}));
    EXPECT_EQ(SortedVisibleNames(dir.path()), (std::vector<std::string>{"B", "a", "b", "c", "d", "e.yml"}));
}

}  // namespace
}  // namespace vrx
