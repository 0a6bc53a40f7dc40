#include "app/linux/XdgOpenShell.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace {

constexpr char16_t opener[] = u"xdg-open";

// Qt's strings are not wiped when they go, as libcurl's copies of a request are not: the
// secret is copied into one only here, at the last moment, and lives no longer than the call.
QString ToQString(TextView text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void XdgOpenShell::Open(ShellOwner, const SecretText& file,
                        const std::optional<SecretText>& parameters) {
    // Not QDesktopServices::openUrl: it parses the address and writes it out again, so the
    // opener would not get the text that was checked.
    if (parameters)
        QProcess::startDetached(ToQString(file.view()), {ToQString(parameters->view())});
    else
        QProcess::startDetached(ToQString(opener), {ToQString(file.view())});
}

Text XdgOpener::FileManagerPath() const {
    return opener;
}
