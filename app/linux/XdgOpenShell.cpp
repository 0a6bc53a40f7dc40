#include "app/linux/XdgOpenShell.h"

#include "common/UserTexts.h"
#include "common/linux/QtText.h"

#include <QProcess>
#include <QStringList>

namespace {

constexpr char16_t opener[] = u"xdg-open";

} // namespace

void XdgOpenShell::Open(ShellOwner, const SecretText& file,
                        const std::optional<SecretText>& parameters) {
    // Not QDesktopServices::openUrl: it parses the address and writes it out again, so the
    // opener would not get the text that was checked. Qt's strings are not wiped when they go,
    // as libcurl's copies of a request are not: the secret is copied into one only here, at the
    // last moment, and lives no longer than the call.
    const bool started =
        parameters
            ? QProcess::startDetached(ToQString(file.view()), {ToQString(parameters->view())})
            : QProcess::startDetached(ToQString(opener), {ToQString(file.view())});
    if (!started)
        sink.ShowMessage(UserTexts::openerNotStarted);
}

Text XdgOpener::FileManagerPath() const {
    return opener;
}
