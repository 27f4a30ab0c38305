#include "platform/linux/DesktopWorkspace.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace helm {

void DesktopWorkspace::openFolder(const std::string& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
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
    p.setProcessEnvironment(env);
    if (!p.startDetached()) {
        return p.errorString().toStdString();
    }
    return std::nullopt;
}

} // namespace helm
