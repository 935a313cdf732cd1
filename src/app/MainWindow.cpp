#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <cstdlib>
#include <utility>

#include "app/AreaListAdapters.h"
#include "app/AreaListWidget.h"
#include "app/BackupManagerWindow.h"
#include "app/FormBuilder.h"
#include "app/InformationWindow.h"
#include "app/LinkLabel.h"
#include "app/PreviewBox.h"
#include "app/QtColour.h"
#include "app/SidebarButton.h"
#include "app/StretchedPicture.h"
#include "app/WindowConventions.h"
#include "backup/StartupCheck.h"
#include "catalogue/AreaSelection.h"
#include "install/InstallCommand.h"
#include "mainform/MainCommands.h"
#include "mainform/Startup.h"
#include "platform/Prompts.h"
#include "session/Session.h"

namespace vrx {

namespace {

// The sidebar buttons' names for assistive tools, Sidebar0 to Sidebar5.
constexpr std::array<const char*, 6> kSidebarNames{"Help",     "Backup Manager", "Updates",
                                                   "Settings", "Web site",       "Install"};

// The command labels: object name, index, caption.
struct CommandLabel {
    const char* name;
    int index;
    const char* caption;
};
constexpr std::array<CommandLabel, 4> kCommandLabels{{
    {"lblSelect4", 4, "View Log"},
    {"lblSelect0", 0, "Select All"},
    {"lblSelect1", 1, "Select None"},
    {"lblSelect3", 3, "Exit"},
}};

void SetColour(QWidget& widget, QPalette::ColorRole role, Colour colour) {
    QPalette palette = widget.palette();
    palette.setColor(role, ToQColor(colour));
    widget.setPalette(palette);
}

}  // namespace

MainWindow::MainWindow(Session& session, Shell& shell, SettingsWindowHost& settingsWindow, PathResolver resolve,
                       QWidget* parent)
    : QWidget(parent),
      session_(session),
      shell_(shell),
      settingsWindow_(settingsWindow),
      resolve_(std::move(resolve)),
      mediaFolder_(StartupPathsFor(session.appFolder).mediaFolder) {
    setObjectName(QStringLiteral("Main_Form"));
    setWindowTitle(QStringLiteral("Verdantis"));
    setAutoFillBackground(true);
    setMouseTracking(true);
    makeBanner();
    makeSidebar();
    makeAreaViews();
    makeLabels();
    setKeyboardOrder();
    ApplyWindowConventions(*this, WindowRole::Frame);
    // The design layout until start-up applies the scaling fix.
    const ScreenMetrics screen = ScreenMetrics::Of(this);
    PlaceAll(*this, MainFormLayout(), screen);
    setFixedSize(ClientSize(MainFormLayout(), screen));
    selectionView_ = std::make_unique<ListSelectionView>(*list_, *description_, *preview_, resolve_);
}

MainWindow::~MainWindow() = default;

void MainWindow::makeBanner() {
    banner_ = new StretchedPicture(this);
    banner_->setObjectName(QStringLiteral("Banner"));
    banner_->setMouseTracking(true);
    banner_->installEventFilter(this);
}

void MainWindow::makeSidebar() {
    panel_ = new QWidget(this);
    panel_->setObjectName(QStringLiteral("Picture1"));
    panel_->setAutoFillBackground(true);
    panel_->setMouseTracking(true);
    panel_->installEventFilter(this);
    for (int i = 0; i < static_cast<int>(sidebar_.size()); ++i) {
        auto* button = new SidebarButton(i < 5 ? panel_ : this);
        button->setObjectName(QStringLiteral("Sidebar%1").arg(i));
        button->setAccessibleName(QString::fromUtf8(kSidebarNames[static_cast<std::size_t>(i)]));
        button->installEventFilter(this);
        connect(button, &QAbstractButton::clicked, this, [this, i] { clickSidebar(i); });
        sidebar_[static_cast<std::size_t>(i)] = button;
    }
}

void MainWindow::makeAreaViews() {
    list_ = new AreaListWidget(this);
    list_->setObjectName(QStringLiteral("List1"));
    list_->setAccessibleName(QStringLiteral("Scenery areas"));
    list_->installEventFilter(this);
    list_->viewport()->installEventFilter(this);
    // The list's click (the focus moved or a check box was toggled) and every
    // release over it; a mouse click that does both updates once, at its release.
    const auto listClicked = [this] {
        if (!list_->mouseButtonHeld()) UpdateAreaSelection();
    };
    connect(list_, &QListWidget::currentRowChanged, this, listClicked);
    connect(list_, &QListWidget::itemChanged, this, listClicked);
    connect(list_, &AreaListWidget::mouseReleased, this, [this] { UpdateAreaSelection(); });

    preview_ = new PreviewBox(this);
    preview_->setObjectName(QStringLiteral("Preview"));
    // Named after the focused area, described by its description.
    SetAccessibleRole(*preview_, QAccessible::Graphic);
    preview_->setMouseTracking(true);
    preview_->installEventFilter(this);

    description_ = makeLabel("lblDescription", QString());
    description_->setWordWrap(true);
    description_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    description_->installEventFilter(this);
}

QLabel* MainWindow::makeLabel(const char* name, const QString& text) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromUtf8(name));
    label->setMouseTracking(true);
    return label;
}

void MainWindow::makeLabels() {
    for (const CommandLabel& command : kCommandLabels) {
        auto* label = new LinkLabel(QString::fromUtf8(command.caption), this);
        label->setObjectName(QString::fromUtf8(command.name));
        label->installEventFilter(this);
        const int index = command.index;
        connect(label, &QAbstractButton::clicked, this, [this, index] { runCommand(index); });
        commands_.push_back(label);
    }
    info_ = makeLabel("lblInfo", QStringLiteral("#"));
    info_->installEventFilter(this);
}

void MainWindow::setKeyboardOrder() {
    // Reading order: the list, Install, the sidebar top to bottom, then the
    // command labels left to right. The window opens on the list.
    std::vector<QWidget*> order{list_, sidebar_[5]};
    for (int i = 0; i < 5; ++i) order.push_back(sidebar_[static_cast<std::size_t>(i)]);
    for (LinkLabel* label : commands_) order.push_back(label);
    for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
    list_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::ApplySmallFontFix() {
    vrx::ApplySmallFontFix(*this, MainFormLayout());
}

void MainWindow::ClearInfo() {
    info_->clear();
}

bool MainWindow::LoadPicture(const std::string& control, const std::string& path) {
    const QPixmap picture(QString::fromStdString(resolve_(path)));
    if (picture.isNull()) return false;
    if (control == "Banner") {
        banner_->setPicture(picture);
        return true;
    }
    auto* button = findChild<SidebarButton*>(QString::fromStdString(control));
    return button != nullptr && button->setPicture(picture);
}

void MainWindow::setTextColour(QWidget& widget, Colour colour) {
    SetColour(widget, QPalette::WindowText, colour);
}

void MainWindow::ApplyColours(const InterfaceColours& colours) {
    colours_ = colours;
    SetColour(*this, QPalette::Window, colours.FormBackColor);
    SetColour(*panel_, QPalette::Window, colours.FormBackColor);
    setTextColour(*info_, colours.TextForeColor);
    for (LinkLabel* label : commands_) label->setColours(colours.TextForeColor, colours.TextHighlightColor);
    setTextColour(*description_, colours.TextForeColor);
    SetColour(*list_, QPalette::Base, colours.ControlBackColor);
    SetColour(*list_, QPalette::Text, colours.ListTextColor);
    emit coloursApplied(colours);
}

void MainWindow::FillAreas(const std::vector<SceneryArea>& areas, const std::vector<std::string>& names) {
    areas_ = areas;
    updating_ = true;
    for (const std::string& name : names) {
        auto* item = new QListWidgetItem(QString::fromStdString(name), list_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    updating_ = false;
}

void MainWindow::SetCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void MainWindow::SelectFirstArea() {
    updating_ = true;
    list_->setCurrentRow(0);
    updating_ = false;
    UpdateAreaSelection();
}

int MainWindow::AreaCount() const {
    return list_->count();
}

void MainWindow::CheckArea(int item) {
    updating_ = true;
    selectionView_->SetChecked(item, true);
    updating_ = false;
}

void MainWindow::ResetHover() {
    for (LinkLabel* label : commands_) label->setHighlighted(false);
    info_->clear();
}

void MainWindow::UpdateAreaSelection() {
    // The sweep's own unchecking raises the list's signals; one update at a time.
    if (updating_ || list_->count() == 0) return;
    updating_ = true;
    vrx::UpdateAreaSelection(*selectionView_, areas_, mediaFolder_, session_.prompts);
    updating_ = false;
}

LinkLabel* MainWindow::commandLabel(QObject* object) const {
    for (LinkLabel* label : commands_) {
        if (label == object) return label;
    }
    return nullptr;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (LinkLabel* command = commandLabel(watched)) {
        // The label's own hover; the move goes no further, so the window's
        // background does not reset it.
        if (type == QEvent::MouseMove) {
            command->setHighlighted(true);
            return true;
        }
        return false;
    }
    if (type == QEvent::MouseMove) {
        for (std::size_t i = 0; i < sidebar_.size(); ++i) {
            if (watched != sidebar_[i]) continue;
            if (const auto text = SidebarHoverText(static_cast<int>(i))) info_->setText(QString::fromStdString(*text));
            return false;
        }
        if (watched == banner_ || watched == info_) return true;
        if (watched == panel_ || watched == list_ || watched == list_->viewport() || watched == description_ ||
            watched == preview_) {
            ResetHover();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::runCommand(int index) {
    switch (index) {
        case 0:
        case 1: {
            // Select All and Select None run no sweep of their own.
            updating_ = true;
            for (int row = 0; row < list_->count(); ++row) selectionView_->SetChecked(row, index == 0);
            updating_ = false;
            break;
        }
        case 3:
            close();
            break;
        case 4:
            ViewLog(shell_, session_.appFolder);
            break;
        default:
            break;
    }
}

void MainWindow::clickSidebar(int index) {
    switch (index) {
        case 0:
            OpenManual(shell_, session_.prompts, session_.appFolder);
            break;
        case 1:
            runBackupManager();
            break;
        case 2: {
            InformationWindow window(session_.prompts, colours_, ProgramUpdatePageAddress(), this);
            window.exec();
            break;
        }
        case 3:
            // Left without a settings file (it was removed meanwhile), the program ends.
            if (!settingsWindow_.OpenModal()) endProgram();
            break;
        case 4:
            OpenWebSite(shell_);
            break;
        case 5:
            installSelectedAreas();
            break;
        default:
            break;
    }
}

void MainWindow::setRunCommandsEnabled(bool enabled) {
    if (enabled) {
        // Clicks made while the commands were off (during the completion
        // pause, when no events run) reach them now, and a disabled button
        // drops them: enabled first, they would start the action again.
        QCoreApplication::processEvents();
    }
    sidebar_[1]->setEnabled(enabled);
    sidebar_[5]->setEnabled(enabled);
}

void MainWindow::runBackupManager() {
    const std::optional<BackupManagerChoice> choice = OpenBackupManager(session_, colours_, this);
    if (!choice) return;
    // The window has gone; the action runs with the status window over this
    // one, and no second long action starts meanwhile.
    setRunCommandsEnabled(false);
    PerformBackupAction(session_, choice->action, choice->skipChecked);
    setRunCommandsEnabled(true);
}

void MainWindow::installSelectedAreas() {
    setRunCommandsEnabled(false);
    const ListChecks rows(*list_);
    InstallSelectedAreas(session_, rows, areas_);
    setRunCommandsEnabled(true);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    // The window's own background (and moves its controls pass on to it).
    ResetHover();
    QWidget::mouseMoveEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    endProgram();
}

void MainWindow::endProgram() {
    // A run under way is inside this very event's caller: the program ends at
    // once rather than after it. Copies replace their targets atomically, and
    // the next copy into the folder removes the temporary file left behind.
    if (session_.actionRunning) std::quick_exit(0);
    QCoreApplication::quit();
}

}  // namespace vrx
