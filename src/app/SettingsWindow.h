#pragma once
// Settings_Form: the modal dialog in which the user confirms the simulator
// folder, the backup folder and the read-only fix. It forwards every event
// to SettingsForm and paints what it says; a new window is made for each
// opening, so each opening loads afresh.

#include <QDialog>
#include <array>

#include "settings/SettingsForm.h"
#include "settings/SettingsView.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace vrx {

class ElidedPathLabel;
class LinkLabel;

class SettingsWindow final : public QDialog, public SettingsView {
    Q_OBJECT
public:
    SettingsWindow(Session& session, SettingsFormServices services, QWidget* owner);
    ~SettingsWindow() override;

    // True once the window was left with no settings file: the program must end.
    bool programMustEnd() const { return form_.ProgramMustEnd(); }

    void ApplyColours(const InterfaceColours& colours) override;
    void ShowPath(const std::string& text) override;
    std::string PathText() const override;
    void ShowBackup(const std::string& text) override;
    std::string BackupText() const override;
    void SetAttrib(bool ticked) override;
    bool Attrib() const override;
    void SetLinkHighlighted(int index, bool highlighted) override;
    void CloseWindow() override;
    void EndProgram() override;

public slots:
    // Escape closes the way the close box does.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLabel* makeLabel(const char* name, const char* text);
    void makeLinks();

    SettingsForm form_;
    std::array<LinkLabel*, 4> links_{};
    ElidedPathLabel* lblPath_ = nullptr;
    QLineEdit* lblBackup_ = nullptr;
    QCheckBox* chkAttrib_ = nullptr;
    bool endingAtOnce_ = false;
};

}  // namespace vrx
