#include "app/linux/XdgOpenShell.h"

#include "common/UserTexts.h"
#include "common/WaitCancelled.h"
#include "common/linux/EventLoopWait.h"

#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

constexpr char16_t opener[] = u"xdg-open";
// xdg-open's exit status when nothing on the desktop opens the address.
constexpr int noMethodExitStatus = 3;
constexpr std::chrono::seconds openerLimit(3);
constexpr int reapMilliseconds = 1000;

// Owns one of posix_spawn's structures from its init to its destroy.
template <typename T, int (*init)(T*), int (*destroy)(T*)> class SpawnObject {
public:
    SpawnObject() { init(&object); }
    ~SpawnObject() { destroy(&object); }
    SpawnObject(const SpawnObject&) = delete;
    SpawnObject& operator=(const SpawnObject&) = delete;
    T* get() { return &object; }

private:
    T object;
};
using SpawnFileActions = SpawnObject<posix_spawn_file_actions_t, posix_spawn_file_actions_init,
                                     posix_spawn_file_actions_destroy>;
using SpawnAttributes =
    SpawnObject<posix_spawnattr_t, posix_spawnattr_init, posix_spawnattr_destroy>;

// Starts program with its one argument, output and errors on /dev/null, signals as a fresh
// program has them. The process id, or -1 when it could not be started.
pid_t Spawn(const Secret<char>& program, const Secret<char>& argument) {
    SpawnFileActions actions;
    SpawnAttributes attributes;
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGCHLD);
    sigaddset(&defaults, SIGPIPE);
    if (::posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, "/dev/null", O_WRONLY,
                                           0) != 0 ||
        ::posix_spawn_file_actions_adddup2(actions.get(), STDOUT_FILENO, STDERR_FILENO) != 0 ||
        ::posix_spawnattr_setsigmask(attributes.get(), &none) != 0 ||
        ::posix_spawnattr_setsigdefault(attributes.get(), &defaults) != 0 ||
        ::posix_spawnattr_setflags(attributes.get(),
                                   POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) != 0)
        return -1;
    char* const arguments[] = {const_cast<char*>(program.c_str()),
                               const_cast<char*>(argument.c_str()), nullptr};
    pid_t child = -1;
    if (::posix_spawnp(&child, program.c_str(), actions.get(), attributes.get(), arguments,
                       environ) != 0)
        return -1;
    return child;
}

// True when child has ended (or cannot be waited for); its status then in status.
bool Ended(pid_t child, int& status) {
    pid_t waited;
    do
        waited = ::waitpid(child, &status, WNOHANG);
    while (waited < 0 && errno == EINTR);
    if (waited < 0)
        status = 0; // not ours to wait for: nothing to say about it
    return waited != 0;
}

} // namespace

XdgOpenShell::XdgOpenShell(MessageSink& sink) : sink(sink) {}

XdgOpenShell::~XdgOpenShell() = default;

void XdgOpenShell::Open(ShellOwner, const SecretText& file,
                        const std::optional<SecretText>& parameters) {
    // A child's status is seen only while SIGCHLD is not ignored: a parent may have left it so.
    ::signal(SIGCHLD, SIG_DFL);
    const bool storage = parameters.has_value();
    const pid_t child = storage ? Spawn(SecretUtf8(file.view()), SecretUtf8(parameters->view()))
                                : Spawn(SecretUtf8(opener), SecretUtf8(file.view()));
    if (child < 0) {
        sink.ShowMessage(UserTexts::openerNotStarted);
        return;
    }
    int status = 0;
    const WaitEnd end = WaitRunningEvents(openerLimit, [&] { return Ended(child, status); });
    if (end != WaitEnd::Done) {
        ReapLater(child);
        if (end == WaitEnd::Cancelled)
            throw WaitCancelled();
        return;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return;
    if (WIFEXITED(status) && WEXITSTATUS(status) == noMethodExitStatus)
        sink.ShowMessage(storage ? UserTexts::nothingOpensFtp : UserTexts::nothingOpensWebPages);
    else
        sink.ShowMessage(storage ? UserTexts::storageNotOpened : UserTexts::pageNotOpened);
}

void XdgOpenShell::ReapLater(pid_t child) {
    running.push_back(child);
    if (!reaper) {
        reaper = std::make_unique<QTimer>();
        QObject::connect(reaper.get(), &QTimer::timeout, [this] {
            int status;
            std::erase_if(running, [&status](pid_t child) { return Ended(child, status); });
            if (running.empty())
                reaper->stop();
        });
    }
    reaper->start(reapMilliseconds);
}

Text XdgOpener::FileManagerPath() const {
    return opener;
}
