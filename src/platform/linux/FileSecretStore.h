#pragma once

#include "platform/DefaultsFile.h"
#include "platform/SecretStore.h"

#include <map>
#include <optional>
#include <string>

namespace helm {

// The secrets in a file only the user can read, for desktops where no keyring answers: one
// JSON object of account names to values, 0600 in a 0700 folder, replaced atomically under the
// same lock as the defaults. A file that does not decode is never written over.
class FileSecretStore : public SecretStore {
public:
    using Items = std::map<std::string, std::string>;

    explicit FileSecretStore(std::string path);

    // $XDG_DATA_HOME/com.pardwell.pivmor/secrets.json
    static std::string standardPath();
    // The items of a file's text: a JSON object whose values are all strings; nothing else.
    static std::optional<Items> decode(const std::string& text);

    const std::string& path() const { return file_.path(); }

    Read read(const std::string& account) override;
    Outcome write(const std::string& account, const std::string& value) override;
    Outcome remove(const std::string& account) override;

    // Every item: none when there is no file, nothing with the problem when it cannot be read.
    std::optional<Items> items(std::string* problem = nullptr);
    // Deletes the file once it holds nothing.
    void removeIfEmpty();

private:
    DefaultsFile file_;

    Outcome change(const std::function<void(Items&)>& edit);
};

} // namespace helm
