#include "app/linux/GvfsMount.h"

#include "common/WaitCancelled.h"
#include "common/linux/EventLoopWait.h"

#include <gio/gio.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

constexpr std::chrono::seconds mountLimit(60);
// A cancelled mount still calls back; this long is waited for that before it is left to finish.
constexpr std::chrono::seconds cancelledMountLimit(5);

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using GObjectOwner = std::unique_ptr<T, GObjectUnref>;

struct GErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
using GErrorOwner = std::unique_ptr<GError, GErrorFree>;

// One mount, shared by the call that waits for it and GIO's callback, which may come after the
// call has stopped waiting and then frees it.
struct MountRun {
    GObjectOwner<GFile> file;
    GObjectOwner<GMountOperation> operation{g_mount_operation_new()};
    GObjectOwner<GCancellable> cancellable{g_cancellable_new()};
    Secret<char> password;
    int passwordAsks = 0;
    bool done = false;
    GErrorOwner error;

    MountRun() = default;
    MountRun(const MountRun&) = delete;
    MountRun& operator=(const MountRun&) = delete;
    ~MountRun() {
        g_signal_handlers_disconnect_by_data(operation.get(), this);
        // The operation keeps its own copy of the password and frees it without overwriting.
        if (const char* kept = g_mount_operation_get_password(operation.get()))
            WipeMemory(const_cast<char*>(kept), std::strlen(kept));
    }
};

// The first ask gets the password; GVfs asks again after a refused one, and is then refused, so
// that a wrong password is not sent over and over.
void OnAskPassword(GMountOperation* operation, gchar*, gchar*, gchar*, GAskPasswordFlags,
                   gpointer data) {
    auto* run = static_cast<MountRun*>(data);
    if (++run->passwordAsks > 1) {
        g_mount_operation_reply(operation, G_MOUNT_OPERATION_ABORTED);
        return;
    }
    g_mount_operation_set_anonymous(operation, FALSE);
    g_mount_operation_set_password_save(operation, G_PASSWORD_SAVE_NEVER);
    g_mount_operation_set_password(operation, run->password.c_str());
    run->password.clear();
    g_mount_operation_reply(operation, G_MOUNT_OPERATION_HANDLED);
}

// Nobody is there to answer a question (which account, whether to trust a certificate).
void OnAskQuestion(GMountOperation* operation, gchar*, GStrv, gpointer) {
    g_mount_operation_reply(operation, G_MOUNT_OPERATION_ABORTED);
}

void OnMounted(GObject* file, GAsyncResult* result, gpointer data) {
    const std::unique_ptr<std::shared_ptr<MountRun>> owner(
        static_cast<std::shared_ptr<MountRun>*>(data));
    GError* error = nullptr;
    g_file_mount_enclosing_volume_finish(G_FILE(file), result, &error);
    (*owner)->error.reset(error);
    (*owner)->done = true;
}

} // namespace

VfsFtp GvfsMount::FtpSupport() {
    // The result is not owned. Without GVfs, or without a session bus for it, GIO's own local
    // file system answers, which opens no remote schemes.
    GVfs* vfs = g_vfs_get_default();
    if (!vfs || !g_vfs_is_active(vfs) || std::string_view(G_OBJECT_TYPE_NAME(vfs)) != "GDaemonVfs")
        return VfsFtp::NotRunning;
    for (const gchar* const* schemes = g_vfs_get_supported_uri_schemes(vfs); schemes && *schemes;
         ++schemes) {
        if (std::string_view(*schemes) == "ftp")
            return VfsFtp::OpensFtp;
    }
    return VfsFtp::WithoutFtp;
}

MountResult GvfsMount::Mount(TextView location, const SecretText& password) {
    const auto run = std::make_shared<MountRun>();
    run->file.reset(g_file_new_for_uri(ToUtf8(location).c_str()));
    run->password = SecretUtf8(password.view());
    g_signal_connect(run->operation.get(), "ask-password", G_CALLBACK(OnAskPassword), run.get());
    g_signal_connect(run->operation.get(), "ask-question", G_CALLBACK(OnAskQuestion), run.get());
    g_file_mount_enclosing_volume(run->file.get(), G_MOUNT_MOUNT_NONE, run->operation.get(),
                                  run->cancellable.get(), OnMounted,
                                  new std::shared_ptr<MountRun>(run));

    const auto done = [&run] { return run->done; };
    const WaitEnd end = WaitRunningEvents(mountLimit, done);
    if (end == WaitEnd::Cancelled) {
        // GIO's callback still comes, and frees the run.
        g_cancellable_cancel(run->cancellable.get());
        throw WaitCancelled();
    }
    const bool timedOut = end == WaitEnd::TimedOut;
    if (timedOut) {
        g_cancellable_cancel(run->cancellable.get());
        if (WaitRunningEvents(cancelledMountLimit, done) == WaitEnd::Cancelled)
            throw WaitCancelled();
    }
    const GError* error = run->error.get();
    if (run->done && (!error || g_error_matches(error, G_IO_ERROR, G_IO_ERROR_ALREADY_MOUNTED)))
        return {MountOutcome::Mounted, {}};
    if (timedOut)
        return {MountOutcome::TimedOut, {}};
    if (run->passwordAsks > 1 || g_error_matches(error, G_IO_ERROR, G_IO_ERROR_PERMISSION_DENIED))
        return {MountOutcome::Refused, {}};
    return {MountOutcome::Failed, FromUtf8(error->message)};
}
