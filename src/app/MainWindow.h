#pragma once
// Main_Form: the banner, the sidebar of picture buttons, the area list with
// the focused area's preview and description, the command labels and the
// hover help line. It forwards every event to the logic and paints what the
// logic says; start-up drives it through MainFormHost.

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "mainform/MainFormHost.h"
#include "ui/InterfaceColours.h"

class QLabel;

namespace vrx {

struct Session;
class Shell;
class SettingsWindowHost;
class SidebarButton;
class PreviewBox;
class ListSelectionView;
class AreaListWidget;
class LinkLabel;
class StretchedPicture;

class MainWindow : public QWidget, public MainFormHost {
    Q_OBJECT
public:
    using PathResolver = std::function<std::string(const std::string&)>;

    // resolve: a path as found on disk (letter case ignored).
    MainWindow(Session& session, Shell& shell, SettingsWindowHost& settingsWindow, PathResolver resolve,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    void ApplySmallFontFix() override;
    void ClearInfo() override;
    bool LoadPicture(const std::string& control, const std::string& path) override;
    void ApplyColours(const InterfaceColours& colours) override;
    void FillAreas(const std::vector<SceneryArea>& areas, const std::vector<std::string>& names) override;
    void SetCaption(const std::string& caption) override;
    void SelectFirstArea() override;
    int AreaCount() const override;
    void CheckArea(int item) override;

    // Command labels back to TextForeColor, hover line emptied.
    void ResetHover();
    // Description, preview and exclusion sweep for the focused area.
    void UpdateAreaSelection();

signals:
    // Start-up read the interface colours; the other windows copy them.
    void coloursApplied(const vrx::InterfaceColours& colours);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void makeBanner();
    void makeSidebar();
    void makeAreaViews();
    void makeLabels();
    void setKeyboardOrder();
    QLabel* makeLabel(const char* name, const QString& text);
    void runCommand(int index);
    void clickSidebar(int index);
    void installSelectedAreas();
    void runBackupManager();
    void setRunCommandsEnabled(bool enabled);
    // Ends the program: at once when a run is under way (see closeEvent).
    void endProgram();
    void setTextColour(QWidget& widget, Colour colour);
    LinkLabel* commandLabel(QObject* object) const;

    Session& session_;
    Shell& shell_;
    SettingsWindowHost& settingsWindow_;
    PathResolver resolve_;
    std::string mediaFolder_;
    std::vector<SceneryArea> areas_;
    InterfaceColours colours_;
    bool updating_ = false;  // the list's own signals are ignored while the program changes it

    StretchedPicture* banner_ = nullptr;
    QWidget* panel_ = nullptr;
    std::array<SidebarButton*, 6> sidebar_{};
    AreaListWidget* list_ = nullptr;
    PreviewBox* preview_ = nullptr;
    QLabel* description_ = nullptr;
    std::vector<LinkLabel*> commands_;
    QLabel* info_ = nullptr;
    std::unique_ptr<ListSelectionView> selectionView_;
};

}  // namespace vrx
