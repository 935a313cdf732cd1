#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "backup/StartupCheck.h"
#include "install/SessionRig.h"
#include "mainform/MainFormHost.h"
#include "mainform/Startup.h"
#include "platform/linux/LinuxRegistry.h"

namespace vrx {
namespace {

// Records every call start-up makes to the main window, in order.
class RecordingForm final : public MainFormHost {
public:
    std::vector<std::string> calls;
    std::vector<std::string> missingPictures;
    InterfaceColours colours;
    std::vector<std::string> names;
    std::string caption;
    std::vector<int> checked;

    void ApplySmallFontFix() override { calls.push_back("scale"); }
    void ClearInfo() override { calls.push_back("clear info"); }
    bool LoadPicture(const std::string& control, const std::string& path) override {
        calls.push_back("picture " + control + " " + path);
        for (const std::string& missing : missingPictures) {
            if (missing == control) return false;
        }
        return true;
    }
    void ApplyColours(const InterfaceColours& c) override {
        calls.push_back("colours");
        colours = c;
    }
    void FillAreas(const std::vector<SceneryArea>&, const std::vector<std::string>& n) override {
        calls.push_back("areas");
        names = n;
    }
    void SetCaption(const std::string& c) override {
        calls.push_back("caption");
        caption = c;
    }
    void SelectFirstArea() override { calls.push_back("first area"); }
    int AreaCount() const override { return static_cast<int>(names.size()); }
    void CheckArea(int item) override {
        calls.push_back("check");
        checked.push_back(item);
    }
};

class NoSettingsWindow final : public SettingsWindowHost {
public:
    int opened = 0;
    bool OpenModal() override {
        ++opened;
        return false;
    }
};

class StartupTest : public ::testing::Test {
protected:
    StartupTest() {
        test::MakeDirs(rig.appFolder + "/Area1");
        test::MakeDirs(rig.appFolder + "/Area2");
        test::WriteFile(rig.dir / "FSX/FSX.EXE", "x");
        test::MakeDirs(rig.dir / "Backup");
        test::WriteFile(rig.appFolder + "/settings.cfg", "fspath=" + (rig.dir / "FSX") +
                                                             "\r\nbackuppath=" + (rig.dir / "Backup") +
                                                             "\r\nreadoverwrite=0\r\nnorbackup=1\r\nrebackup=1\r\n");
        test::WriteFile(rig.appFolder + "/ui.cfg", "FormBackColor=102030\r\nVRXVersion=Sample Scenery 2\r\n");
    }
    void WriteCatalogue(int areas) {
        std::string text = std::to_string(areas) + "\r\n";
        for (int i = 1; i <= areas; ++i) {
            text += "0|Area " + std::to_string(i) + "|Area" + std::to_string(i) + "|p.bmp||T|d\r\n";
        }
        test::WriteFile(rig.appFolder + "/vrx.cfg", text + "//backups\r\nTexture\r\n//end\r\n");
    }
    StartupResult Run() { return RunStartup(rig.session, form, settingsWindow, registry, "1.08"); }

    test::SessionRig rig;
    RecordingForm form;
    NoSettingsWindow settingsWindow;
    LinuxRegistry registry{{rig.dir / "config/registry.reg", rig.dir / "wine"}, rig.fs};
};

TEST_F(StartupTest, RunsTheStepsInOrder) {
    WriteCatalogue(2);
    const StartupResult result = Run();
    EXPECT_TRUE(result.showWindow);
    const std::string app = rig.appFolder;
    const std::vector<std::string> expected = {
        "scale",
        "clear info",
        "picture Sidebar0 " + app + "/Media/help.bmp",
        "picture Sidebar1 " + app + "/Media/backups.bmp",
        "picture Sidebar2 " + app + "/Media/updates.bmp",
        "picture Sidebar3 " + app + "/Media/settings.bmp",
        "picture Sidebar4 " + app + "/Media/quellmark.bmp",
        "picture Sidebar5 " + app + "/Media/install.bmp",
        "picture Banner " + app + "/Media/banner.bmp",
        "colours",
        "areas",
        "caption",
        "first area",
    };
    EXPECT_EQ(form.calls, expected);
    EXPECT_EQ(form.caption, "Sample Scenery 2 (Interface Version 1.08)");
    EXPECT_EQ(form.colours.FormBackColor, 0x302010u);
    EXPECT_EQ(result.paths.mediaFolder, app + "/media/");
    EXPECT_EQ(rig.session.backupSourceFolders[0], "Texture");
    // The ui.cfg pairs are gone: the shared object was emptied before the settings were read.
    EXPECT_EQ(rig.cfg.GetValue("VRXVersion"), "");
    EXPECT_EQ(registry.readString("SOFTWARE\\Quellmark\\VRX Norvane", "Path"), app);
    EXPECT_TRUE(form.checked.empty());
}

TEST_F(StartupTest, OneAreaIsChecked) {
    WriteCatalogue(1);
    EXPECT_TRUE(Run().showWindow);
    EXPECT_EQ(form.checked, std::vector<int>{0});
}

TEST_F(StartupTest, MissingPictureEndsWithAMessageNamingIt) {
    WriteCatalogue(1);
    form.missingPictures = {"Sidebar3"};
    EXPECT_FALSE(Run().showWindow);
    ASSERT_EQ(rig.Messages().size(), 1u);
    EXPECT_NE(rig.Messages()[0].find(rig.appFolder + "/Media/settings.bmp"), std::string::npos);
    EXPECT_EQ(form.calls.back(), "picture Sidebar3 " + rig.appFolder + "/Media/settings.bmp");
}

TEST_F(StartupTest, CatalogueFailureEndsBeforeTheCheck) {
    EXPECT_FALSE(Run().showWindow);
    EXPECT_EQ(rig.Messages(),
              std::vector<std::string>{
                  "Verdantis configuration file (verdantis.cfg) is missing. Please reinstall Verdantis."});
    EXPECT_EQ(form.calls.back(), "colours");
}

TEST_F(StartupTest, SettingsWindowEndingTheProgramStopsStartup) {
    WriteCatalogue(1);
    std::remove((rig.appFolder + "/settings.cfg").c_str());
    EXPECT_FALSE(Run().showWindow);
    EXPECT_EQ(settingsWindow.opened, 1);
    EXPECT_EQ(form.calls.back(), "areas");
    // The program's folder is written to the registry only after the check.
    EXPECT_EQ(registry.readString("SOFTWARE\\Quellmark\\VRX Norvane", "Path"), std::nullopt);
}

TEST(StartupPaths, JoinWithOneSeparator) {
    const StartupPaths root = StartupPathsFor("/");
    EXPECT_EQ(root.settingsFile, "/settings.cfg");
    EXPECT_EQ(root.catalogueFile, "/vrx.cfg");
    EXPECT_EQ(root.mediaFolder, "/media/");
    EXPECT_EQ(MainCaption("", "1.08"), " (Interface Version 1.08)");
}

}  // namespace
}  // namespace vrx
