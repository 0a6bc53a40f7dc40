#pragma once

#include "app/Shell.h"

// The shell's "open" through ShellExecuteExW: no flags, so no process handle comes back and
// the shell shows its own error message when it cannot open the file.
class ShellExecuteShell final : public Shell {
public:
    void Open(ShellOwner owner, const SecretText& file,
              const std::optional<SecretText>& parameters) override;
};

// The explorer in the Windows folder, which the shell names, or GetWindowsDirectoryW when
// the shell names none.
class WindowsExplorer final : public FileManagerLocator {
public:
    Text FileManagerPath() const override;
};
