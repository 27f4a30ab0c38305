#include "platform/linux/LibsecretStore.h"

#include <libsecret/secret.h>

namespace helm {

namespace {

const SecretSchema* schema() {
    static const SecretSchema s = {
        "com.pardwell.pivmor.Secret",
        SECRET_SCHEMA_NONE,
        {
            {"service", SECRET_SCHEMA_ATTRIBUTE_STRING},
            {"account", SECRET_SCHEMA_ATTRIBUTE_STRING},
            {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING},
        },
        0,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
    };
    return &s;
}

std::string take(GError* error) {
    std::string text = error && error->message ? error->message : "unknown error";
    g_clear_error(&error);
    return text;
}

SecretStore::Outcome failed(GError* error) {
    return {false, take(error)};
}

// A lookup answers "nothing" without an error also when the item exists but its keyring stayed
// locked (the unlock prompt was dismissed). Taking that for "not found" would let the caller
// migrate and later overwrite the real item, so look for a locked match before saying so.
bool lockedMatchExists(const std::string& service, const std::string& account, std::string& why) {
    GHashTable* attributes = secret_attributes_build(schema(), "service", service.c_str(),
                                                     "account", account.c_str(), nullptr);
    GError* error = nullptr;
    GList* items = secret_service_search_sync(nullptr, schema(), attributes, SECRET_SEARCH_ALL,
                                              nullptr, &error);
    g_hash_table_unref(attributes);
    if (error) {
        why = take(error);
        g_list_free_full(items, g_object_unref);
        return true; // cannot tell: treat as unreadable, never as absent
    }
    bool locked = false;
    for (GList* l = items; l; l = l->next) {
        if (secret_item_get_locked(SECRET_ITEM(l->data))) {
            locked = true;
        }
    }
    g_list_free_full(items, g_object_unref);
    if (locked) {
        why = "the keyring is locked";
    }
    return locked;
}

} // namespace

LibsecretStore::LibsecretStore(std::string service) : service_(std::move(service)) {}

SecretStore::Read LibsecretStore::read(const std::string& account) {
    GError* error = nullptr;
    gchar* value =
        secret_password_lookup_sync(schema(), nullptr, &error, "service", service_.c_str(),
                                    "account", account.c_str(), nullptr);
    if (error) {
        if (value) {
            secret_password_free(value);
        }
        return {Status::failed, {}, take(error)};
    }
    if (!value) {
        std::string why;
        if (lockedMatchExists(service_, account, why)) {
            return {Status::failed, {}, why};
        }
        return {Status::notFound, {}, {}};
    }
    Read r{Status::ok, value, {}};
    secret_password_free(value);
    return r;
}

SecretStore::Outcome LibsecretStore::write(const std::string& account, const std::string& value) {
    GError* error = nullptr;
    std::string label = service_ + " " + account;
    gboolean ok = secret_password_store_sync(schema(), SECRET_COLLECTION_DEFAULT, label.c_str(),
                                             value.c_str(), nullptr, &error, "service",
                                             service_.c_str(), "account", account.c_str(), nullptr);
    if (!ok || error) {
        return failed(error);
    }
    return {true, {}};
}

SecretStore::Outcome LibsecretStore::remove(const std::string& account) {
    GError* error = nullptr;
    // False without an error means there was nothing to delete.
    secret_password_clear_sync(schema(), nullptr, &error, "service", service_.c_str(), "account",
                               account.c_str(), nullptr);
    if (error) {
        return failed(error);
    }
    return {true, {}};
}

} // namespace helm
