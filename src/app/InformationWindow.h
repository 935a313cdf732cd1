#pragma once
// Information_Form: the maker's update page in an embedded browser (Qt
// WebEngine), with "Exit", "<Back" and "Forward>" below it. Program files
// are confirmed before they are fetched (UpdatePage); downloads are saved
// into the user's download folder and the window says where. The browser
// and its history live only as long as the window: it browses with a
// profile of its own that keeps nothing on disk.

#include <QDialog>
#include <QMetaObject>
#include <array>
#include <string>
#include <vector>

#include "ui/InterfaceColours.h"
#include "ui/LinkHover.h"

class QTimer;
class QWebEngineDownloadRequest;
class QWebEngineProfile;
class QWebEngineView;

namespace vrx {

class ElidedPathLabel;
class LinkLabel;
class Prompts;
class UpdatePage;

class InformationWindow : public QDialog {
    Q_OBJECT
public:
    // Starts loading address at once.
    InformationWindow(Prompts& prompts, const InterfaceColours& colours, const std::string& address,
                      QWidget* parent = nullptr);
    ~InformationWindow() override;

    QWebEngineView& browser() { return *view_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void makeLinks();
    void setKeyboardOrder();
    void applyLayout();
    void followLink(int index);
    void saveDownload(QWebEngineDownloadRequest* download);
    void checkMouse();

    InterfaceColours colours_;
    LinkHover hover_{3};
    QWebEngineProfile* profile_ = nullptr;
    UpdatePage* page_ = nullptr;
    QWebEngineView* view_ = nullptr;
    std::array<LinkLabel*, 3> links_{};
    ElidedPathLabel* download_ = nullptr;
    // The downloads' reports to this window, cut before the profile cancels them on its way out.
    std::vector<QMetaObject::Connection> downloadReports_;
    QTimer* timer_ = nullptr;
};

// The update page's address: the update server (VERDANTIS_UPDATE_SERVER, or
// the built-in one) with this program's id and version.
std::string ProgramUpdatePageAddress();

}  // namespace vrx
