#pragma once

#include "common/Secret.h"
#include "common/Text.h"

#include <cstdint>
#include <optional>

// An owner window as the shell sees it: the window handle's value, 0 for none.
using ShellOwner = std::uintptr_t;

// The shell's "open" of a document or program. The file is a program path or an address;
// the parameters, when given, are the program's command-line arguments as one text. The
// outcome is not reported: the shell may show its own error message, and nothing is
// returned. No process handle is asked for.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void Open(ShellOwner owner, const SecretText& file,
                      const std::optional<SecretText>& parameters) = 0;
};

// The desktop's file manager, the program the ftp location is handed to as its argument. Asked
// for only when the storage is opened there.
class FileManagerLocator {
public:
    virtual ~FileManagerLocator() = default;
    virtual Text FileManagerPath() const = 0;
};
