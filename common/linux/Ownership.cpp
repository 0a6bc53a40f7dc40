#include "common/linux/Ownership.h"

#include <unistd.h>

bool NobodyElseMayChange(const struct stat& status) {
    return (status.st_uid == 0 || status.st_uid == ::geteuid()) &&
           (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool IsUsersOwn(const struct stat& status) {
    return status.st_uid == ::geteuid();
}

bool IsUsersOwnFile(int fd) {
    struct stat status;
    return ::fstat(fd, &status) == 0 && IsUsersOwn(status);
}

bool IsUsersOwnFolder(const std::string& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && IsUsersOwn(status);
}
