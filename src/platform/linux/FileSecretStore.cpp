#include "platform/linux/FileSecretStore.h"

#include "platform/Paths.h"
#include "platform/linux/LogFile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace helm {

FileSecretStore::FileSecretStore(std::string path, Log log)
    : file_(std::move(path), mostBytes), log_(std::move(log)) {}

std::string FileSecretStore::standardPath() {
    return paths::dataHome() + "/com.pardwell.pivmor/secrets.json";
}

std::optional<FileSecretStore::Items> FileSecretStore::decode(const std::string& text,
                                                              std::string* why) {
    auto fail = [why](std::string reason) -> std::optional<Items> {
        if (why != nullptr) {
            *why = std::move(reason);
        }
        return std::nullopt;
    };
    // Qt's parser refuses nesting deeper than it can recurse into (1024 levels), on its own.
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    if (error.error != QJsonParseError::NoError) {
        return fail(error.errorString().toStdString());
    }
    if (!doc.isObject()) {
        return fail("not an object");
    }
    Items out;
    const QJsonObject object = doc.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!it.value().isString()) {
            return fail("the value of \"" + it.key().toStdString() + "\" is not a string");
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
            *problem = loaded.problem; // names the file
        }
        return std::nullopt;
    case DefaultsStorage::Status::ok:
        break;
    }
    std::string why;
    std::optional<FileSecretStore::Items> items = FileSecretStore::decode(loaded.text, &why);
    if (!items && problem != nullptr) {
        *problem = path + " doesn't decode (" + why + ")";
    }
    return items;
}

// A mode others share in becomes the owner's alone. Links are left alone: what they point
// at is not ours to change.
std::optional<std::string> makePrivate(const std::string& path, mode_t mode) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || S_ISLNK(st.st_mode) || (st.st_mode & 077) == 0) {
        return std::nullopt;
    }
    auto octal = [](mode_t m) {
        char text[16];
        std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(m & 07777));
        return std::string(text);
    };
    if (::chmod(path.c_str(), mode) != 0) {
        return "secrets: " + path + " is open to others (" + octal(st.st_mode) +
               ") and can't be made private: " + std::strerror(errno);
    }
    return "secrets: " + path + " was open to others (" + octal(st.st_mode) + "); made private (" +
           octal(mode) + ")";
}

} // namespace

void FileSecretStore::tighten() {
    std::call_once(tightened_, [this] {
        const std::string folder =
            QFileInfo(QString::fromStdString(path())).absolutePath().toStdString();
        for (const auto& [p, mode] : {std::pair{folder, mode_t{0700}}, {path(), mode_t{0600}}}) {
            if (std::optional<std::string> line = makePrivate(p, mode); line && log_) {
                log_(*line);
            }
        }
    });
}

std::optional<FileSecretStore::Items> FileSecretStore::items(std::string* problem) {
    tighten();
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
    tighten();
    // Only the user may open the folder, whoever made it first.
    const std::string folder =
        QFileInfo(QString::fromStdString(path())).absolutePath().toStdString();
    LogFile::makeFolders(folder);
    if (chmod(folder.c_str(), 0700) != 0) {
        const int error = errno;
        return {false, "cannot make " + folder + " private", wholeFile::reason(error)};
    }
    std::string problem;
    std::optional<WriteFailure> failed =
        file_.update([&](const DefaultsStorage::Loaded& loaded) -> std::optional<std::string> {
            std::optional<Items> all = itemsOf(loaded, path(), &problem);
            if (!all) {
                return std::nullopt; // unreadable: left exactly as it is
            }
            edit(*all);
            return encode(*all);
        });
    if (failed) {
        return {false, failed->problem, failed->reason};
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
