#include "app/linux/KdePasswordServer.h"

#include "common/WaitCancelled.h"
#include "common/linux/EventLoopWait.h"
#include "common/linux/XdgConfigHome.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDBusVariant>
#include <QMap>
#include <QSettings>
#include <QUrl>

#include <chrono>
#include <string>

namespace {

constexpr std::chrono::seconds answerLimit(60);
constexpr int ftpPort = 21;
// Plasma 6 names its service first; Plasma 5's is asked when it is not there.
const char* const passwordServerServices[] = {"org.kde.kiod6", "org.kde.kiod5"};
const char* const walletServices[][2] = {{"org.kde.kwalletd6", "/modules/kwalletd6"},
                                         {"org.kde.kwalletd5", "/modules/kwalletd5"}};

// One of the logon's extra fields, as the server's interface carries them: (siv).
struct AuthExtraField {
    QString name;
    int flags = 0;
    QDBusVariant value;
};
using AuthExtraFields = QMap<QString, AuthExtraField>;

// The logon as the server's addAuthInfo takes it: (ysssssssssbbbba{s(siv)}). Every text the
// server would show the user is empty, and every flag false: nothing is shown, the password is
// not asked to be kept.
struct AuthInfo {
    QString url, user, password;
};

} // namespace

Q_DECLARE_METATYPE(AuthExtraField)
Q_DECLARE_METATYPE(AuthInfo)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const AuthExtraField& field) {
    argument.beginStructure();
    argument << field.name << field.flags << field.value;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, AuthExtraField& field) {
    argument.beginStructure();
    argument >> field.name >> field.flags >> field.value;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const AuthInfo& info) {
    constexpr uchar version = 1;
    argument.beginStructure();
    argument << version << info.url << info.user << info.password;
    // prompt, caption, comment, comment label, realm, digest
    for (int text = 0; text < 6; ++text)
        argument << QString();
    // verify path, read only, keep password, modified
    for (int flag = 0; flag < 4; ++flag)
        argument << false;
    argument << AuthExtraFields();
    argument.endStructure();
    return argument;
}

// Only sent, never received.
const QDBusArgument& operator>>(const QDBusArgument& argument, AuthInfo&) {
    return argument;
}

void RegisterTypes() {
    static const bool registered = [] {
        qDBusRegisterMetaType<AuthExtraField>();
        qDBusRegisterMetaType<AuthExtraFields>();
        qDBusRegisterMetaType<AuthInfo>();
        return true;
    }();
    (void)registered;
}

// The session bus when there is one. Asked only where a bus was found (DesktopHandOver), so
// that no bus is started here.
QDBusConnection SessionBus() {
    return QDBusConnection::sessionBus();
}

bool ServiceRunning(const QString& name) {
    const QDBusConnectionInterface* bus = SessionBus().interface();
    const QDBusReply<bool> registered = bus ? bus->isServiceRegistered(name) : QDBusReply<bool>();
    return registered.isValid() && registered.value();
}

bool ServiceOnBus(const QString& name) {
    if (ServiceRunning(name))
        return true;
    const QDBusConnectionInterface* bus = SessionBus().interface();
    const QDBusReply<QStringList> activatable =
        bus ? bus->activatableServiceNames() : QDBusReply<QStringList>();
    return activatable.isValid() && activatable.value().contains(name);
}

// The password server's name on the bus: Plasma 6's when it is there, else Plasma 5's.
QString PasswordServerService() {
    for (const char* name : passwordServerServices)
        if (ServiceOnBus(QString::fromLatin1(name)))
            return QString::fromLatin1(name);
    return {};
}

// The URL the FTP worker looks the logon up by: the port only when it is not FTP's own.
QString LookupUrl(const QUrl& location) {
    QUrl url;
    url.setScheme(QStringLiteral("ftp"));
    url.setUserName(location.userName());
    url.setHost(location.host());
    if (location.port() != -1 && location.port() != ftpPort)
        url.setPort(location.port());
    return url.toString();
}

// Overwrites the text's characters where they are stored, in every copy that shares them.
void Wipe(QString& text) {
    if (!text.isEmpty())
        WipeMemory(const_cast<QChar*>(text.constData()), text.size() * sizeof(QChar));
    text.clear();
}

} // namespace

bool KdePasswordServer::OnBus() {
    return !PasswordServerService().isEmpty();
}

bool KdePasswordServer::WalletEnabled() {
    const std::string configHome = ConfigHome();
    if (!configHome.empty()) {
        const QSettings settings(QString::fromStdString(configHome + "/kwalletrc"),
                                 QSettings::IniFormat);
        // The wallet's own reading of a yes-or-no value: anything else keeps it on.
        const QString enabled =
            settings.value(QStringLiteral("Wallet/Enabled")).toString().trimmed().toLower();
        if (enabled == u"false" || enabled == u"off" || enabled == u"no" || enabled == u"0")
            return false;
    }
    for (const auto& [service, path] : walletServices) {
        // A wallet service that is not running is not started for the question.
        if (!ServiceRunning(QString::fromLatin1(service)))
            continue;
        const QDBusMessage ask = QDBusMessage::createMethodCall(
            QString::fromLatin1(service), QString::fromLatin1(path),
            QStringLiteral("org.kde.KWallet"), QStringLiteral("isEnabled"));
        const QDBusReply<bool> enabled = SessionBus().call(ask, QDBus::Block, 5000);
        return !enabled.isValid() || enabled.value();
    }
    return true;
}

MountResult KdePasswordServer::Mount(TextView location, const SecretText& password) {
    RegisterTypes();
    const QUrl storage(
        QString::fromUtf16(location.data(), static_cast<qsizetype>(location.size())));
    QString service = PasswordServerService();
    if (service.isEmpty())
        service = QString::fromLatin1(passwordServerServices[1]);
    AuthInfo info{
        LookupUrl(storage), storage.userName(),
        QString::fromUtf16(password.view().data(), static_cast<qsizetype>(password.view().size()))};
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QStringLiteral("/modules/kpasswdserver"), QStringLiteral("org.kde.KPasswdServer"),
        QStringLiteral("addAuthInfo"));
    // Window id 0: the logon is for any window; the file manager then keeps it for its own.
    call << QVariant::fromValue(info) << qlonglong(0);
    const QDBusPendingCallWatcher answer(SessionBus().asyncCall(
        call, static_cast<int>(std::chrono::milliseconds(answerLimit).count()) + 5000));
    // The message has been written out; the copies the call held share the text wiped here.
    call = QDBusMessage();
    Wipe(info.password);

    const WaitEnd end = WaitRunningEvents(answerLimit, [&answer] { return answer.isFinished(); });
    if (end == WaitEnd::Cancelled)
        throw WaitCancelled();
    if (end == WaitEnd::TimedOut)
        return {MountOutcome::TimedOut, {}};
    if (answer.isError()) {
        const QString message = answer.error().message();
        return {MountOutcome::Failed, Text(reinterpret_cast<const char16_t*>(message.utf16()),
                                           static_cast<std::size_t>(message.size()))};
    }
    return {MountOutcome::Mounted, {}};
}
