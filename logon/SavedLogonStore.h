#pragma once

#include "common/Clock.h"
#include "logon/LogonFileCodec.h"
#include "logon/LogonStore.h"

#include <cstddef>

// The saved logon file's rules, the same in every edition: which credentials may be stored,
// how a logon is forgotten and what restores. An edition's store only reads and writes the
// file's bytes in its place; none of its operations reports a failure, since a folder or file
// that cannot be made, opened, read or written leaves the file as it was. The clock, which
// seeds the filler, must outlive the store.
class SavedLogonStore : public LogonStore {
public:
    // Writes the whole file. Credentials holding U+0100 cannot be stored and are forgotten
    // instead.
    void SaveLogonInfo(const Text& user, const SecretText& password) final;
    // Zeroes the marker, then the credentials behind it, in place (LogonFileWipes); the file
    // keeps its length, and a missing one stays missing.
    void ForgetLogonInfo() final;
    // The credentials of an armed file, else two empty texts. A file longer than maxFileBytes
    // is not read to its end and restores nothing.
    LogonInfo LoadLogonInfo() const final;
    static constexpr std::size_t maxFileBytes = 1024 * 1024;

protected:
    explicit SavedLogonStore(const Clock& clock) : clock(clock) {}

    // The whole file; empty when there is none, it cannot be read or it is longer than
    // maxFileBytes (no more than maxFileBytes + 1 bytes are read).
    virtual SecretBytes ReadBytes() const = 0;
    // Replaces the whole file with contents through a temporary file in the same folder, so
    // that a failed or interrupted write leaves the previous file whole.
    virtual void ReplaceBytes(const SecretBytes& contents) = 0;
    // Removes the temporary file of an interrupted save, which may hold coded credentials too.
    // Then, in the existing file's own blocks (a new file renamed over it would leave them
    // unwiped), zeroes each range that wipes(file length) gives, in order, each flushed to the
    // disk before the next, and stops at the first that fails. No file: nothing.
    using WipeRanges = std::array<LogonFileRange, 2> (*)(std::uint64_t fileBytes);
    virtual void ZeroInPlace(WipeRanges wipes) = 0;

private:
    const Clock& clock;
};
