#include "app/InformationWindow.h"

#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <cstdlib>

#include "app/ElidedPathLabel.h"
#include "app/FitToText.h"
#include "app/FormBuilder.h"
#include "app/LinkLabel.h"
#include "app/LinkRowHover.h"
#include "app/QtColour.h"
#include "app/UpdatePage.h"
#include "app/WindowConventions.h"
#include "config/VersionText.h"
#include "info/DownloadTarget.h"
#include "info/UpdateAddress.h"

namespace vrx {

namespace {

constexpr int kHoverCheckMs = 250;
constexpr std::array<const char*, 3> kCaptions{"Exit", "<Back", "Forward>"};

}  // namespace

std::string ProgramUpdatePageAddress() {
    return UpdatePageAddress(UpdateServer(std::getenv(kUpdateServerVariable)), ProgramVersionText());
}

InformationWindow::InformationWindow(Prompts& prompts, const InterfaceColours& colours, const std::string& address,
                                     QWidget* parent)
    : QDialog(parent),
      colours_(colours),
      profile_(new QWebEngineProfile(this)),
      page_(new UpdatePage(prompts, profile_)),
      view_(new QWebEngineView(this)),
      download_(new ElidedPathLabel(this)),
      timer_(new QTimer(this)) {
    setObjectName(QStringLiteral("Information_Form"));
    setWindowTitle(QStringLiteral("Verdantis X Information"));
    ApplyWindowConventions(*this, WindowRole::Dialog);
    setAutoFillBackground(true);
    setMouseTracking(true);
    view_->setObjectName(QStringLiteral("WebBrowser1"));
    page_->setParent(view_);
    view_->setPage(page_);
    download_->setObjectName(QStringLiteral("lblDownload"));
    makeLinks();

    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(colours.FormBackColor));
    palette.setColor(QPalette::WindowText, ToQColor(colours.TextForeColor));
    setPalette(palette);
    applyLayout();
    view_->setFocus();

    // Escape closes the window as in every other window, also while the page
    // has the focus: the browser keeps the keys it is given to itself.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QDialog::reject);

    connect(profile_, &QWebEngineProfile::downloadRequested, this, &InformationWindow::saveDownload);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(kHoverCheckMs);
    connect(timer_, &QTimer::timeout, this, &InformationWindow::checkMouse);
    timer_->start();

    view_->load(QUrl(QString::fromStdString(address)));
    setKeyboardOrder();
}

InformationWindow::~InformationWindow() {
    // The page (a child of the view) must go before the profile it browses with,
    // and a download the profile cancels as it goes must not report to a window
    // that is half gone.
    delete view_;
    for (const QMetaObject::Connection& report : downloadReports_) QObject::disconnect(report);
    profile_->disconnect(this);
    delete profile_;
}

void InformationWindow::makeLinks() {
    for (int i = 0; i < static_cast<int>(links_.size()); ++i) {
        auto* link = new LinkLabel(QString::fromUtf8(kCaptions[static_cast<std::size_t>(i)]), this);
        link->setObjectName(QStringLiteral("lblSelect%1").arg(i));
        link->setColours(colours_.TextForeColor, colours_.TextHighlightColor);
        link->installEventFilter(this);
        connect(link, &QAbstractButton::clicked, this, [this, i] { followLink(i); });
        links_[static_cast<std::size_t>(i)] = link;
    }
}

void InformationWindow::setKeyboardOrder() {
    // Reading order: the links from left to right, then the page, whose last
    // element hands the focus on to "<Back" again. Set once the browser has
    // its page's focus proxy: before, the browser takes no focus, and Qt
    // would count the links as in order already.
    setTabOrder(links_[1], links_[2]);
    setTabOrder(links_[2], links_[0]);
    setTabOrder(links_[0], view_);
}

void InformationWindow::applyLayout() {
    const FormLayout form = ApplySmallFontFix(*this, InformationFormLayout());
    WidenToFitText(*this, form, {"lblSelect0", "lblSelect1", "lblSelect2"});
}

void InformationWindow::followLink(int index) {
    // No previous or next page: nothing happens.
    switch (index) {
        case 0:
            close();
            break;
        case 1:
            if (view_->history()->canGoBack()) view_->back();
            break;
        case 2:
            if (view_->history()->canGoForward()) view_->forward();
            break;
        default:
            break;
    }
}

void InformationWindow::saveDownload(QWebEngineDownloadRequest* download) {
    // The name comes from the address, the page's download attribute or the
    // server; whichever gave it, a program file is asked about before anything is saved.
    if (!page_->confirmDownload(download->url(), download->suggestedFileName().toStdString())) {
        download->cancel();
        return;
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    QDir().mkpath(folder);
    const std::string name =
        FreeDownloadName(download->suggestedFileName().toStdString(), [&folder](const std::string& candidate) {
            return QFileInfo::exists(QDir(folder).filePath(QString::fromStdString(candidate)));
        });
    download->setDownloadDirectory(folder);
    download->setDownloadFileName(QString::fromStdString(name));
    downloadReports_.push_back(connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, download] {
        if (!download->isFinished()) return;
        const QString path = QDir(download->downloadDirectory()).filePath(download->downloadFileName());
        const bool saved = download->state() == QWebEngineDownloadRequest::DownloadCompleted;
        // A long download folder is shortened in the middle; the whole notice shows on hover.
        download_->setPath(
            QString::fromStdString(saved ? DownloadSavedText(path.toStdString())
                                         : DownloadFailedText(download->downloadFileName().toStdString())));
    }));
    download->accept();
}

bool InformationWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove && HoverOverLink(hover_, links_, watched)) return true;
    return QDialog::eventFilter(watched, event);
}

void InformationWindow::mouseMoveEvent(QMouseEvent* event) {
    HoverOverBackground(hover_, links_);
    QDialog::mouseMoveEvent(event);
}

void InformationWindow::checkMouse() {
    // The browser area reports no mouse movement to the window.
    hover_.checkMouseAboveRow(mapFromGlobal(QCursor::pos()).y(), links_[1]->y());
    PaintLinks(hover_, links_);
}

void InformationWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

}  // namespace vrx
