#pragma once

#include <string>

#include <sys/stat.h>

// Whose files the program trusts. Another local user must neither choose the redirect hosts
// (and so where the password is sent) nor plant, read or change remembered credentials.

// Owned by root or by this process's user, and writable by neither its group nor others.
bool NobodyElseMayChange(const struct stat& status);

// Owned by this process's user.
bool IsUsersOwn(const struct stat& status);

// The open file is this process's user's own; false when it cannot be looked at.
bool IsUsersOwnFile(int fd);

// path names a folder (links followed) that is this process's user's own.
bool IsUsersOwnFolder(const std::string& path);
