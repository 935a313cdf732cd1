#include "app/SettingsWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>

#include "app/ElidedPathLabel.h"
#include "app/FormBuilder.h"
#include "app/LinkLabel.h"
#include "app/QtColour.h"
#include "app/WindowConventions.h"

namespace vrx {

namespace {

struct LinkText {
    int index;
    const char* caption;
    // What a screen reader says besides the caption: which folder a "Select" selects.
    const char* description;
};
// In reading order, which is also the Tab order.
constexpr std::array<LinkText, 4> kLinks{{
    {kLinkSelectSimulator, "Select", "Browse to FSX.EXE for the path to Flight Simulator X"},
    {kLinkSelectBackup, "Select", "Browse to an existing folder for your backups"},
    {kLinkCancel, "Cancel", ""},
    {kLinkSave, "Save", ""},
}};

void SetColour(QWidget& widget, QPalette::ColorRole role, Colour colour) {
    QPalette palette = widget.palette();
    palette.setColor(role, ToQColor(colour));
    widget.setPalette(palette);
}

}  // namespace

SettingsWindow::SettingsWindow(Session& session, SettingsFormServices services, QWidget* owner)
    : QDialog(owner), form_(session, *this, std::move(services)) {
    setObjectName(QStringLiteral("Settings_Form"));
    setWindowTitle(QString::fromUtf8(kSettingsCaption));
    setModal(true);
    setAutoFillBackground(true);
    setMouseTracking(true);

    makeLabel("Label1", "Path to Flight Simulator X:");
    lblPath_ = new ElidedPathLabel(this);
    lblPath_->setObjectName(QStringLiteral("lblPath"));
    lblPath_->setAutoFillBackground(true);
    lblPath_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblPath_->setIndent(3);
    lblPath_->setAccessibleDescription(QStringLiteral("Path to Flight Simulator X"));
    makeLabel("Label3", "Backup Folder (press Select to browse to an existing folder, or type in a new one).");
    lblBackup_ = new QLineEdit(this);
    lblBackup_->setObjectName(QStringLiteral("lblBackup"));
    lblBackup_->setAccessibleName(QStringLiteral("Backup Folder"));
    QLabel* note = makeLabel(
        "Label2",
        "Please note that we do not recommend saving backups to your Program Files folder. We have selected a "
        "recommended path for you. If you need to select another drive or path, do not select a user-restricted "
        "folder (e.g. Program Files). About 2GB is required.");
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    chkAttrib_ = new QCheckBox(QStringLiteral("Set Read-Only Files to Normal During Copy (fixes copy errors)."), this);
    chkAttrib_->setObjectName(QStringLiteral("ChkAttrib"));
    // A button fills with its Button colour unless told to use the window's.
    chkAttrib_->setBackgroundRole(QPalette::Window);
    chkAttrib_->setAutoFillBackground(true);
    makeLinks();
    ApplyWindowConventions(*this, WindowRole::Dialog);
    ApplySmallFontFix(*this, SettingsFormLayout());

    setTabOrder(links_[kLinkSelectSimulator], links_[kLinkSelectBackup]);
    setTabOrder(links_[kLinkSelectBackup], lblBackup_);
    setTabOrder(lblBackup_, chkAttrib_);
    setTabOrder(chkAttrib_, links_[kLinkCancel]);
    setTabOrder(links_[kLinkCancel], links_[kLinkSave]);

    form_.Load();
}

SettingsWindow::~SettingsWindow() = default;

QLabel* SettingsWindow::makeLabel(const char* name, const char* text) {
    auto* label = new QLabel(QString::fromUtf8(text), this);
    label->setObjectName(QString::fromUtf8(name));
    return label;
}

void SettingsWindow::makeLinks() {
    for (const LinkText& link : kLinks) {
        auto* label = new LinkLabel(QString::fromUtf8(link.caption), this);
        label->setObjectName(QStringLiteral("lblSelect%1").arg(link.index));
        label->setAccessibleDescription(QString::fromUtf8(link.description));
        label->installEventFilter(this);
        connect(label, &QAbstractButton::clicked, this, [this, index = link.index] { form_.ClickLink(index); });
        links_[static_cast<std::size_t>(link.index)] = label;
    }
}

void SettingsWindow::ApplyColours(const InterfaceColours& colours) {
    SetColour(*this, QPalette::Window, colours.FormBackColor);
    for (const char* name : {"Label1", "Label2", "Label3"}) {
        if (auto* label = findChild<QLabel*>(QString::fromUtf8(name))) {
            SetColour(*label, QPalette::WindowText, colours.TextForeColor);
        }
    }
    SetColour(*chkAttrib_, QPalette::WindowText, colours.TextForeColor);
    SetColour(*chkAttrib_, QPalette::Window, colours.FormBackColor);
    SetColour(*lblPath_, QPalette::Window, colours.ControlBackColor);
    SetColour(*lblPath_, QPalette::WindowText, colours.ListTextColor);
    SetColour(*lblBackup_, QPalette::Base, colours.ControlBackColor);
    SetColour(*lblBackup_, QPalette::Text, colours.ListTextColor);
    for (LinkLabel* link : links_) link->setColours(colours.TextForeColor, colours.TextHighlightColor);
}

void SettingsWindow::ShowPath(const std::string& text) {
    // A long path is shortened in the middle; the whole path shows on hover.
    lblPath_->setPath(QString::fromStdString(text));
}

std::string SettingsWindow::PathText() const {
    return lblPath_->text().toStdString();
}

void SettingsWindow::ShowBackup(const std::string& text) {
    lblBackup_->setText(QString::fromStdString(text));
}

std::string SettingsWindow::BackupText() const {
    return lblBackup_->text().toStdString();
}

void SettingsWindow::SetAttrib(bool ticked) {
    chkAttrib_->setChecked(ticked);
}

bool SettingsWindow::Attrib() const {
    return chkAttrib_->isChecked();
}

void SettingsWindow::SetLinkHighlighted(int index, bool highlighted) {
    links_.at(static_cast<std::size_t>(index))->setHighlighted(highlighted);
}

void SettingsWindow::CloseWindow() {
    close();
}

void SettingsWindow::EndProgram() {
    // No close request: the window goes away at once.
    endingAtOnce_ = true;
    done(QDialog::Rejected);
}

void SettingsWindow::reject() {
    close();
}

bool SettingsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove && static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton) {
        for (std::size_t i = 0; i < links_.size(); ++i) {
            if (watched != links_[i]) continue;
            form_.HoverLink(static_cast<int>(i));
            // Handled here: passed on, the move would reach the background and reset the links.
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SettingsWindow::mouseMoveEvent(QMouseEvent* event) {
    form_.HoverBackground();
    QDialog::mouseMoveEvent(event);
}

void SettingsWindow::closeEvent(QCloseEvent* event) {
    if (!endingAtOnce_) form_.CloseRequest();
    event->accept();
    done(QDialog::Rejected);
}

void SettingsWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    lblBackup_->setFocus();
}

}  // namespace vrx
