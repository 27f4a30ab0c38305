// The secrets file is read from the user's folder, where anything may have been left: decoding
// never fails, and what decodes survives being written out and read again.
#include "platform/linux/FileSecretStore.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    auto items = helm::FileSecretStore::decode(text);
    if (!items) {
        return 0;
    }
    QJsonObject object;
    for (const auto& [account, value] : *items) {
        object.insert(QString::fromStdString(account), QString::fromStdString(value));
    }
    auto again = helm::FileSecretStore::decode(QJsonDocument(object).toJson().toStdString());
    if (!again || *again != *items) {
        std::abort();
    }
    return 0;
}
