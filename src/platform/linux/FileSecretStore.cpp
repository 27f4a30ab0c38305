#include "platform/linux/FileSecretStore.h"

#include "platform/Paths.h"
#include "platform/linux/LogFile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

namespace helm {

FileSecretStore::FileSecretStore(std::string path) : file_(std::move(path)) {}

std::string FileSecretStore::standardPath() {
    return paths::dataHome() + "/com.pardwell.pivmor/secrets.json";
}

std::optional<FileSecretStore::Items> FileSecretStore::decode(const std::string& text) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        return std::nullopt;
    }
    Items out;
    const QJsonObject object = doc.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!it.value().isString()) {
            return std::nullopt;
        }
        out[it.key().toStdString()] = it.value().toString().toStdString();
    }
    return out;
}

namespace {

std::string encode(const FileSecretStore::Items& items) {
    QJsonObject object;
    for (const auto& [account, value] : items) {
        object.insert(QString::fromStdString(account), QString::fromStdString(value));
    }
    return QJsonDocument(object).toJson(QJsonDocument::Indented).toStdString();
}

// The loaded text's items, or nothing with the problem.
std::optional<FileSecretStore::Items> itemsOf(const DefaultsStorage::Loaded& loaded,
                                              const std::string& path, std::string* problem) {
    switch (loaded.status) {
    case DefaultsStorage::Status::absent:
        return FileSecretStore::Items{};
    case DefaultsStorage::Status::failed:
        if (problem != nullptr) {
            *problem = path + ": " + loaded.problem;
        }
        return std::nullopt;
    case DefaultsStorage::Status::ok:
        break;
    }
    std::optional<FileSecretStore::Items> items = FileSecretStore::decode(loaded.text);
    if (!items && problem != nullptr) {
        *problem = path + " doesn't decode";
    }
    return items;
}

} // namespace

std::optional<FileSecretStore::Items> FileSecretStore::items(std::string* problem) {
    return itemsOf(file_.load(), path(), problem);
}

SecretStore::Read FileSecretStore::read(const std::string& account) {
    std::string problem;
    std::optional<Items> all = items(&problem);
    if (!all) {
        return {Status::failed, {}, problem};
    }
    auto it = all->find(account);
    if (it == all->end()) {
        return {Status::notFound, {}, {}};
    }
    return {Status::ok, it->second, {}};
}

SecretStore::Outcome FileSecretStore::change(const std::function<void(Items&)>& edit) {
    // Only the user may open the folder, whoever made it first.
    const std::string folder =
        QFileInfo(QString::fromStdString(path())).absolutePath().toStdString();
    LogFile::makeFolders(folder);
    if (chmod(folder.c_str(), 0700) != 0) {
        return {false, "cannot make " + folder + " private"};
    }
    std::string problem;
    std::optional<std::string> failed =
        file_.update([&](const DefaultsStorage::Loaded& loaded) -> std::optional<std::string> {
            std::optional<Items> all = itemsOf(loaded, path(), &problem);
            if (!all) {
                return std::nullopt; // unreadable: left exactly as it is
            }
            edit(*all);
            return encode(*all);
        });
    if (failed) {
        problem = *failed;
    }
    return {problem.empty(), problem};
}

SecretStore::Outcome FileSecretStore::write(const std::string& account, const std::string& value) {
    return change([&](Items& all) { all[account] = value; });
}

SecretStore::Outcome FileSecretStore::remove(const std::string& account) {
    return change([&](Items& all) { all.erase(account); });
}

void FileSecretStore::removeIfEmpty() {
    if (std::optional<Items> all = items(); all && all->empty()) {
        QFile::remove(QString::fromStdString(path()));
        QFile::remove(QString::fromStdString(path() + ".lock"));
    }
}

} // namespace helm
