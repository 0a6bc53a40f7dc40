#pragma once

#include "app/Shell.h"
#include "common/MessageSink.h"

#include <sys/types.h>

#include <memory>
#include <vector>

class QTimer;

// The shell's "open" on a Linux desktop: the program is started with an argument list, never
// through a command interpreter, its output and errors going nowhere (the opener's error names
// the address it could not open, which may carry a secret). With parameters, file is the program
// and parameters its one argument (the file manager's opener and the ftp location); without,
// the desktop's opener (xdg-open) is started with file as its one argument. The owner is not
// used: the opener has no window to attach its own to.
//
// The opener is given up to three seconds, the windows painting meanwhile. When it ends in that
// time with a failure, the sink says so (that nothing opens such addresses, or that it could not
// be opened), never repeating the address; when it is still running it is left to run. A
// program that cannot be started at all is reported too. When the user cancels the wait, the
// opener is left to run and WaitCancelled is thrown.
class XdgOpenShell final : public Shell {
public:
    explicit XdgOpenShell(MessageSink& sink);
    ~XdgOpenShell() override;
    XdgOpenShell(const XdgOpenShell&) = delete;
    XdgOpenShell& operator=(const XdgOpenShell&) = delete;

    void Open(ShellOwner owner, const SecretText& file,
              const std::optional<SecretText>& parameters) override;

private:
    // Openers left running are reaped when they end, so that none stays a zombie while the
    // window is open; at the program's end they are simply left.
    void ReapLater(pid_t opener);

    MessageSink& sink;
    std::vector<pid_t> running;
    std::unique_ptr<QTimer> reaper;
};

// The desktop's opener, which hands an ftp:// location to the file manager the user chose.
class XdgOpener final : public FileManagerLocator {
public:
    Text FileManagerPath() const override;
};
