#include "app/linux/Arguments.h"
#include "app/linux/ConfigFile.h"
#include "app/linux/XdgOpenShell.h"
#include "common/Clock.h"
#include "logon/linux/LogonWindow.h"
#include "logon/linux/MessageBoxes.h"
#include "logon/linux/XdgLogonFileStore.h"
#include "webclient/ServiceSession.h"
#include "webclient/linux/CurlExchange.h"

#include <QApplication>

// The program: the logon window, run modally; when it closes, the program ends with 0,
// however the window was closed.
int main(int argc, char** argv) {
    // Read before the application object takes the toolkit's own options out of argv.
    const std::int32_t launchMode = LaunchModeFromArgv(argc, argv);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(programName));
    // Ties the window to the installed desktop entry, and so to its icon.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(programName));

    SystemClock clock;
    ActiveWindowMessageSink sink;
    CurlExchange exchange(sink, clock);
    ServiceSession session(ReadConfiguredRedirectHosts(), exchange, sink);
    XdgLogonFileStore store(clock, SettingsFolder());
    XdgOpenShell shell(sink);
    XdgOpener fileManager;

    LogonWindow window(session, store, store.LoadLogonInfo(), shell, fileManager);
    window.SetLaunchMode(launchMode);
    window.exec();
    return 0;
}
