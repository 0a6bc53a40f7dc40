#pragma once

#include "app/Shell.h"

// The shell's "open" through ShellExecuteExW: no flags, so no process handle comes back and
// the shell shows its own error message when it cannot open the file.
class ShellExecuteShell final : public Shell {
public:
    void Open(ShellOwner owner, const SecretText& file,
              const std::optional<SecretText>& parameters) override;
};

// The Windows folder from the shell, or from GetWindowsDirectoryW when the shell gives none.
class SystemWindowsFolder final : public WindowsFolderProvider {
public:
    Text WindowsFolder() const override;
};
