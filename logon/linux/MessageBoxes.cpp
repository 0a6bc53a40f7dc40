#include "logon/linux/MessageBoxes.h"

#include "common/linux/QtText.h"

#include <QApplication>

namespace {

QMessageBox::StandardButton RunBox(QWidget* owner, const Text& text, QMessageBox::Icon icon,
                                   QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QString::fromLatin1(programName), ToQString(text), buttons,
                    owner ? owner : QApplication::activeWindow());
    box.setAccessibleName(box.windowTitle());
    box.setAccessibleDescription(box.text());
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void ShowMessageBox(QWidget* owner, const Text& text, QMessageBox::Icon icon) {
    RunBox(owner, text, icon, QMessageBox::Ok);
}

bool AskYesNoBox(QWidget* owner, const Text& text) {
    return RunBox(owner, text, QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void ActiveWindowMessageSink::ShowMessage(const Text& text) {
    ShowMessageBox(nullptr, text, QMessageBox::Warning);
}
