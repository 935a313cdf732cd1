#include "app/BackupManagerWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include "app/FitToText.h"
#include "app/FormBuilder.h"
#include "app/LinkLabel.h"
#include "app/LinkRowHover.h"
#include "app/QtColour.h"
#include "app/WindowConventions.h"
#include "session/Session.h"

namespace vrx {

namespace {

constexpr int kLoadFailureCloseMs = 52;

// The links by index, as the window's control array numbers them.
constexpr std::array<const char*, 5> kCaptions{
    "Re-Initialize Main Backup Procedure", "Create Alternate Backup Set",   "Close",
    "Restore Alternate Backups",           "Restore Original Backup Files",
};
// Tab follows the window from top to bottom.
constexpr std::array<int, 5> kReadingOrder{0, 1, 4, 3, 2};
constexpr int kRestoreAlternate = 3;

void SetColour(QWidget& widget, QPalette::ColorRole role, Colour colour) {
    QPalette palette = widget.palette();
    palette.setColor(role, ToQColor(colour));
    widget.setPalette(palette);
}

}  // namespace

BackupManagerWindow::BackupManagerWindow(Session& session, const InterfaceColours& colours, QWidget* parent)
    : QDialog(parent), colours_(colours), timer_(new QTimer(this)) {
    setObjectName(QStringLiteral("Backup_Form"));
    setWindowTitle(QStringLiteral("Verdantis Backup Manager"));
    ApplyWindowConventions(*this, WindowRole::Dialog);
    setAutoFillBackground(true);
    setMouseTracking(true);
    label1_ = makeHeading("Label1", "Create Backup Files");
    makeLinks();
    skip_ = new QCheckBox(QStringLiteral("Skip Already Backed-Up Files"), this);
    skip_->setObjectName(QStringLiteral("ChkSkip"));
    skip_->setChecked(true);
    label2_ = makeHeading("Label2", "Restore Backup Files");
    setTabOrder(links_[1], skip_);
    setTabOrder(skip_, links_[4]);

    applyColours();
    applyLayout();
    // Opens with the focus on the first link, from where Tab goes down the window.
    links_[0]->setFocus();

    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setSingleShot(true);
    timer_->setInterval(kLoadFailureCloseMs);
    connect(timer_, &QTimer::timeout, this, &QDialog::close);

    const BackupManagerState state = LoadBackupManager(session);
    hover_.setEnabled(kRestoreAlternate, state.alternateAvailable);
    links_[kRestoreAlternate]->setEnabled(state.alternateAvailable);
    loadFailed_ = state.loadFailed;
}

QLabel* BackupManagerWindow::makeHeading(const char* name, const char* caption) {
    auto* label = new QLabel(QString::fromUtf8(caption), this);
    label->setObjectName(QString::fromUtf8(name));
    label->setMouseTracking(true);
    return label;
}

void BackupManagerWindow::makeLinks() {
    for (int i = 0; i < static_cast<int>(links_.size()); ++i) {
        auto* link = new LinkLabel(QString::fromUtf8(kCaptions[static_cast<std::size_t>(i)]), this);
        link->setObjectName(QStringLiteral("lblSelect%1").arg(i));
        link->installEventFilter(this);
        connect(link, &QAbstractButton::clicked, this, [this, i] { choose(i); });
        links_[static_cast<std::size_t>(i)] = link;
    }
    for (std::size_t k = 0; k + 1 < kReadingOrder.size(); ++k) {
        setTabOrder(links_[static_cast<std::size_t>(kReadingOrder[k])],
                    links_[static_cast<std::size_t>(kReadingOrder[k + 1])]);
    }
}

void BackupManagerWindow::applyColours() {
    SetColour(*this, QPalette::Window, colours_.FormBackColor);
    SetColour(*skip_, QPalette::Window, colours_.FormBackColor);
    for (QWidget* widget :
         {static_cast<QWidget*>(label1_), static_cast<QWidget*>(label2_), static_cast<QWidget*>(skip_)}) {
        SetColour(*widget, QPalette::WindowText, colours_.TextForeColor);
    }
    // A disabled link is drawn halfway between the text and the background colour.
    const QColor fore = ToQColor(colours_.TextForeColor);
    const QColor back = ToQColor(colours_.FormBackColor);
    const QColor greyed((fore.red() + back.red()) / 2, (fore.green() + back.green()) / 2,
                        (fore.blue() + back.blue()) / 2);
    for (LinkLabel* link : links_) {
        link->setColours(colours_.TextForeColor, colours_.TextHighlightColor);
        QPalette palette = link->palette();
        palette.setColor(QPalette::Disabled, QPalette::WindowText, greyed);
        link->setPalette(palette);
    }
}

void BackupManagerWindow::applyLayout() {
    const FormLayout form = ApplySmallFontFix(*this, BackupFormLayout());
    // The links and the check box stay centred as designed when their captions need more room.
    WidenToFitText(*this, form, {"lblSelect0", "lblSelect1", "ChkSkip", "lblSelect4", "lblSelect3", "lblSelect2"});
}

void BackupManagerWindow::choose(int index) {
    chosen_ = static_cast<BackupAction>(index);
    skipChecked_ = skip_->isChecked();
    accept();
}

bool BackupManagerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove && HoverOverLink(hover_, links_, watched)) return true;
    return QDialog::eventFilter(watched, event);
}

void BackupManagerWindow::mouseMoveEvent(QMouseEvent* event) {
    HoverOverBackground(hover_, links_);
    QDialog::mouseMoveEvent(event);
}

void BackupManagerWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    // Shown after the load failure's message: gone again at the timer's first tick.
    if (loadFailed_) timer_->start();
}

std::optional<BackupManagerChoice> OpenBackupManager(Session& session, const InterfaceColours& colours,
                                                     QWidget* owner) {
    BackupManagerWindow window(session, colours, owner);
    window.exec();
    if (!window.chosen()) return std::nullopt;
    return BackupManagerChoice{*window.chosen(), window.skipChecked()};
}

}  // namespace vrx
