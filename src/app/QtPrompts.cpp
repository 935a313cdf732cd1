#include "app/QtPrompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

namespace vrx {

namespace {

QMessageBox::StandardButton Ask(const std::string& text, const std::string& title, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString::fromStdString(text), buttons,
                    QApplication::activeWindow());
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

void QtPrompts::message(const std::string& text, const std::string& title) {
    Ask(text, title, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtPrompts::askYesNo(const std::string& text, const std::string& title) {
    return Ask(text, title, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

bool QtPrompts::askOkCancel(const std::string& text, const std::string& title) {
    return Ask(text, title, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) == QMessageBox::Ok;
}

}  // namespace vrx
