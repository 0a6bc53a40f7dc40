#include "app/linux/Arguments.h"
#include "app/linux/ConfigFile.h"
#include "app/linux/DesktopHandOver.h"
#include "app/linux/XdgOpenShell.h"
#include "common/Clock.h"
#include "common/UserLanguage.h"
#include "common/UserTextCatalogs.h"
#include "common/UserTexts.h"
#include "logon/linux/LogonWindow.h"
#include "logon/linux/MessageBoxes.h"
#include "logon/linux/XdgLogonFileStore.h"
#include "webclient/ServiceSession.h"
#include "webclient/linux/CurlExchange.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdlib>

#include <sys/prctl.h>

// The program: the logon window, run modally; when it closes, the program ends with 0,
// however the window was closed.
int main(int argc, char** argv) {
    // The password passes through this process's memory: no core file is written of it, and
    // the user's other processes may not attach to read it.
    ::prctl(PR_SET_DUMPABLE, 0);
    // Read before the application object takes the toolkit's own options out of argv.
    const LaunchMode launchMode = LaunchModeFromArgv(argc, argv);
    UserTexts::UseCatalog(
        CatalogForEnvironment([](const char* name) { return std::getenv(name); }));
    QApplication application(argc, argv);
    // The toolkit's own words (the boxes' buttons, the edit boxes' menu) in the same language,
    // where the desktop has the toolkit's translations installed.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QStringLiteral("qtbase_") +
                              QString::fromLatin1(textCatalogs[UserTexts::CatalogInUse()].language),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);
    QApplication::setApplicationName(QString::fromLatin1(programName));
    // Ties the window to the installed desktop entry, and so to its icon.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(programName));

    SystemClock clock;
    ActiveWindowMessageSink sink;
    CurlExchange exchange(sink, clock);
    const std::vector<std::string> configFiles = ConfiguredCandidates();
    ServiceSession session(ReadFirstConfigFile(configFiles), exchange, sink,
                           NoRedirectHostText(configFiles));
    XdgLogonFileStore store(clock, SettingsFolder());
    XdgOpenShell shell(sink);
    XdgOpener fileManager;
    DesktopHandOver mounter;

    LogonWindow window(session, store, shell, fileManager, mounter);
    window.SetLaunchMode(launchMode);
    window.exec();
    return 0;
}
