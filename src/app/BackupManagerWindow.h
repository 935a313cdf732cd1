#pragma once
// Backup_Form: two headings, the five links and the Skip check box. It only
// records which link was chosen and the check box's state, and closes; the
// action runs after it has gone (RunBackupManager). When the backup folder
// cannot be searched it says so while loading and closes itself 52 ms after
// it is shown.

#include <QDialog>
#include <array>
#include <optional>

#include "backup/BackupManager.h"
#include "ui/InterfaceColours.h"
#include "ui/LinkHover.h"

class QCheckBox;
class QLabel;
class QTimer;

namespace vrx {

class LinkLabel;
struct Session;

class BackupManagerWindow : public QDialog {
    Q_OBJECT
public:
    // Loads the window: colours, layout, and the look into the backup folder.
    BackupManagerWindow(Session& session, const InterfaceColours& colours, QWidget* parent = nullptr);

    // The link clicked; none when the window was closed otherwise.
    std::optional<BackupAction> chosen() const { return chosen_; }
    // The check box's state when the link was clicked.
    bool skipChecked() const { return skipChecked_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLabel* makeHeading(const char* name, const char* caption);
    void makeLinks();
    void applyLayout();
    void applyColours();
    void choose(int index);

    InterfaceColours colours_;
    LinkHover hover_{5};
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QCheckBox* skip_ = nullptr;
    std::array<LinkLabel*, 5> links_{};
    QTimer* timer_ = nullptr;
    std::optional<BackupAction> chosen_;
    bool skipChecked_ = true;
    bool loadFailed_ = false;
};

// What the user chose in the backup manager: the link and the check box.
struct BackupManagerChoice {
    BackupAction action;
    bool skipChecked;
};

// Opens the backup manager modally over owner; the link clicked, once the
// window has gone, or none when it was closed otherwise. The caller then
// runs the action with PerformBackupAction.
std::optional<BackupManagerChoice> OpenBackupManager(Session& session, const InterfaceColours& colours, QWidget* owner);

}  // namespace vrx
