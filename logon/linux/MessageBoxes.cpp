#include "logon/linux/MessageBoxes.h"

#include "common/linux/QtText.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

// Swallows Esc and requests to close: a box that needs a button's answer. Qt would otherwise
// take No for the Esc key.
class ButtonAnswerOnly final : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        return event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    }
};

QMessageBox::StandardButton RunBox(QWidget* owner, const Text& text, QMessageBox::Icon icon,
                                   QMessageBox::StandardButtons buttons,
                                   QObject* filter = nullptr) {
    QMessageBox box(icon, QString::fromLatin1(programName), ToQString(text), buttons,
                    owner ? owner : QApplication::activeWindow());
    // A text from outside (a server's error text, say) is shown as it stands: rich text
    // would make its markup a link of any scheme that opens at a click.
    box.setTextFormat(Qt::PlainText);
    box.setAccessibleName(box.windowTitle());
    box.setAccessibleDescription(box.text());
    if (filter)
        box.installEventFilter(filter);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void ShowMessageBox(QWidget* owner, const Text& text, QMessageBox::Icon icon) {
    RunBox(owner, text, icon, QMessageBox::Ok);
}

bool AskYesNoBox(QWidget* owner, const Text& text) {
    ButtonAnswerOnly buttonAnswerOnly;
    return RunBox(owner, text, QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No,
                  &buttonAnswerOnly) == QMessageBox::Yes;
}

void ActiveWindowMessageSink::ShowMessage(const Text& text) {
    ShowMessageBox(nullptr, text, QMessageBox::Warning);
}
