#pragma once

#include "platform/DefaultsFile.h"
#include "platform/SecretStore.h"

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace helm {

// The secrets in a file only the user can read, for desktops where no keyring answers: one
// JSON object of account names to values, 0600 in a 0700 folder, replaced whole under the
// same lock as the defaults. A file that does not decode, or is far larger than any real one,
// is never written over. A folder or file others may read is made private on first use.
class FileSecretStore : public SecretStore {
public:
    using Items = std::map<std::string, std::string>;
    using Log = std::function<void(const std::string&)>;

    // A handful of keys takes a few hundred bytes.
    static constexpr std::uint64_t mostBytes = 1'000'000;

    explicit FileSecretStore(std::string path, Log log = nullptr);

    // $XDG_DATA_HOME/com.pardwell.pivmor/secrets.json
    static std::string standardPath();
    // The items of a file's text: a JSON object whose values are all strings; nothing else,
    // with why in `why`.
    static std::optional<Items> decode(const std::string& text, std::string* why = nullptr);

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
    Log log_;
    std::once_flag tightened_;

    Outcome change(const std::function<void(Items&)>& edit);
    // Takes away what others may do with the folder and the file, once per run.
    void tighten();
};

} // namespace helm
