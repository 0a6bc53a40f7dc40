#pragma once

#include "app/Shell.h"
#include "common/MessageSink.h"

// The shell's "open" on a Linux desktop: the program is started detached with an argument
// list, never through a command interpreter, and nothing waits for it or looks at how it ends.
// With parameters, file is the program and parameters its one argument; without, the desktop's
// opener (xdg-open) is started with file as its one argument. The owner is not used: the
// opener has no window to attach its own to. A program that cannot be started at all is
// reported to the sink, since no desktop shell is there to say so, as the Windows shell does.
class XdgOpenShell final : public Shell {
public:
    explicit XdgOpenShell(MessageSink& sink) : sink(sink) {}

    void Open(ShellOwner owner, const SecretText& file,
              const std::optional<SecretText>& parameters) override;

private:
    MessageSink& sink;
};

// The desktop's opener, which hands an ftp:// location to the file manager the user chose.
class XdgOpener final : public FileManagerLocator {
public:
    Text FileManagerPath() const override;
};
