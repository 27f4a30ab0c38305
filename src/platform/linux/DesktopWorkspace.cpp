#include "platform/linux/DesktopWorkspace.h"
#include "platform/linux/BusCheck.h"

// Before Qt's headers: Qt's "signals" keyword would break GIO's.
#include <gio/gio.h>

#include <QCoreApplication>
#include <QProcess>

namespace helm {

std::optional<std::string> DesktopWorkspace::openFolder(const std::string& path) {
    // Asked of the list of programs itself: a URL handler would start, find nothing to open
    // folders with and tell no one.
    GAppInfo* manager = g_app_info_get_default_for_type("inode/directory", FALSE);
    if (manager == nullptr) {
        return "no file manager is installed";
    }
    GFile* folder = g_file_new_for_path(path.c_str());
    GList files{folder, nullptr, nullptr};
    GError* error = nullptr;
    std::optional<std::string> failure;
    if (!g_app_info_launch(manager, &files, nullptr, &error)) {
        failure = std::string(g_app_info_get_name(manager)) + " could not be started" +
                  (error != nullptr ? std::string(": ") + error->message : std::string());
    }
    g_clear_error(&error);
    g_object_unref(folder);
    g_object_unref(manager);
    return failure;
}

std::optional<std::string> DesktopWorkspace::startSuccessor(const std::vector<std::string>& args) {
    QProcess p;
    p.setProgram(QCoreApplication::applicationFilePath());
    QStringList list;
    for (const std::string& a : args) {
        list << QString::fromStdString(a);
    }
    p.setArguments(list);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HELMVANTOR_RELAUNCHED", "1");
    BusCheck::giveBack(env); // the next copy asks the buses afresh
    p.setProcessEnvironment(env);
    if (!p.startDetached()) {
        return p.errorString().toStdString();
    }
    return std::nullopt;
}

} // namespace helm
