#pragma once

#include "common/MessageSink.h"
#include "common/Text.h"

#include <QMessageBox>

class QWidget;

// The application's message boxes: modal to their owner (the active window when none is
// given), the program's name as caption, the text shown as plain text (never markup or links)
// and as the box's accessible description.
// Each returns when the user has closed the box.
inline constexpr char programName[] = "tarnftp";

void ShowMessageBox(QWidget* owner, const Text& text, QMessageBox::Icon icon);

// A Yes/No question without an icon; true for Yes. Only a button answers it: Esc and the
// window's close button do nothing, so that no answer is taken for No by accident.
bool AskYesNoBox(QWidget* owner, const Text& text);

// Failures reported in a warning box owned by the active window.
class ActiveWindowMessageSink final : public MessageSink {
public:
    void ShowMessage(const Text& text) override;
};
