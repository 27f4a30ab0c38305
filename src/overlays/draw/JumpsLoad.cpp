#include "overlays/draw/JumpsLoad.h"

#include <QFile>

namespace helm::Jumps {

std::optional<File> load(const std::optional<std::string>& path, std::string* why) {
    QFile file(path ? QString::fromStdString(*path) : QStringLiteral(":/jumps.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        if (why) {
            *why = "cannot open " + file.fileName().toStdString() + ": " +
                   file.errorString().toStdString();
        }
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    return decode(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), why);
}

} // namespace helm::Jumps
