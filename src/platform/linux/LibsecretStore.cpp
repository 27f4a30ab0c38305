#include "platform/linux/LibsecretStore.h"

#include <libsecret/secret.h>

#include <cstdio>
#include <functional>
#include <memory>

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

const std::string quitting = "Helmvantor is quitting";
// A call given up on may still hold the bus's objects; it gets this long to hand them back.
constexpr guint letGo = 250;

// The answer of one call. It outlives the wait: a call given up on may land later, or never.
struct Answer {
    GAsyncResult* result = nullptr;
    ~Answer() {
        if (result) {
            g_object_unref(result);
        }
    }
};

void landed(GObject*, GAsyncResult* result, gpointer data) {
    auto* answer = static_cast<std::shared_ptr<Answer>*>(data);
    (*answer)->result = G_ASYNC_RESULT(g_object_ref(result));
    delete answer;
}

gboolean markOver(gpointer flag) {
    *static_cast<bool*>(flag) = true;
    return G_SOURCE_REMOVE;
}

void wake(GCancellable*, gpointer context) {
    g_main_context_wakeup(static_cast<GMainContext*>(context));
}

// Runs context until the answer lands, ms pass or stopped (when given) is cancelled.
bool waitFor(GMainContext* context, const Answer& answer, guint ms, GCancellable* stopped) {
    bool over = false;
    GSource* timer = g_timeout_source_new(ms);
    g_source_set_callback(timer, markOver, &over, nullptr);
    g_source_attach(timer, context);
    while (!answer.result && !over && !(stopped && g_cancellable_is_cancelled(stopped))) {
        g_main_context_iteration(context, TRUE);
    }
    g_source_destroy(timer);
    g_source_unref(timer);
    return answer.result != nullptr;
}

using Start = std::function<void(GCancellable*, GAsyncReadyCallback, gpointer)>;

// Starts one asynchronous libsecret call in a main context of this thread's own, as its
// blocking calls do, and waits for the answer: at most limit, and not past stop. Null, with
// the reason, when none came.
GAsyncResult* await(std::chrono::milliseconds limit, GCancellable* stopped, const Start& start,
                    std::string& why) {
    if (g_cancellable_is_cancelled(stopped)) {
        why = quitting;
        return nullptr;
    }
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    GCancellable* call = g_cancellable_new();
    gulong hook = g_cancellable_connect(stopped, G_CALLBACK(wake), context, nullptr);
    auto answer = std::make_shared<Answer>();
    start(call, landed, new std::shared_ptr<Answer>(answer));
    const bool answered = waitFor(context, *answer, static_cast<guint>(limit.count()), stopped);
    if (!answered) {
        char text[80];
        std::snprintf(text, sizeof text, "the keyring didn't answer within %g s",
                      static_cast<double>(limit.count()) / 1000.0);
        why = g_cancellable_is_cancelled(stopped) ? quitting : text;
        g_cancellable_cancel(call);
        waitFor(context, *answer, letGo, nullptr);
    }
    // What the call's objects left to do here (their last references, say) is done now: no
    // one runs this context again.
    for (int i = 0; i < 100 && g_main_context_iteration(context, FALSE); ++i) {
    }
    g_cancellable_disconnect(stopped, hook);
    g_object_unref(call);
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
    return answered ? G_ASYNC_RESULT(g_object_ref(answer->result)) : nullptr;
}

// The item's attributes, to be unreferenced.
GHashTable* attributesOf(const std::string& service, const std::string& account) {
    return secret_attributes_build(schema(), "service", service.c_str(), "account", account.c_str(),
                                   nullptr);
}

} // namespace

LibsecretStore::LibsecretStore(std::string service, std::chrono::milliseconds limit)
    : service_(std::move(service)), limit_(limit), stopped_(g_cancellable_new()) {}

LibsecretStore::~LibsecretStore() {
    g_object_unref(stopped_);
}

void LibsecretStore::stop() {
    g_cancellable_cancel(stopped_);
}

// A lookup answers "nothing" without an error also when the item exists but its keyring stayed
// locked (the unlock prompt was dismissed). Taking that for "not found" would let the caller
// migrate and later overwrite the real item, so look for a locked match before saying so.
bool LibsecretStore::lockedMatchExists(const std::string& account, std::string& why) {
    GHashTable* attributes = attributesOf(service_, account);
    GAsyncResult* answer = await(
        limit_, stopped_,
        [&](GCancellable* c, GAsyncReadyCallback done, gpointer data) {
            secret_service_search(nullptr, schema(), attributes, SECRET_SEARCH_ALL, c, done, data);
        },
        why);
    g_hash_table_unref(attributes);
    if (!answer) {
        return true; // cannot tell: treat as unreadable, never as absent
    }
    GError* error = nullptr;
    GList* items = secret_service_search_finish(nullptr, answer, &error);
    g_object_unref(answer);
    if (error) {
        why = take(error);
        g_list_free_full(items, g_object_unref);
        return true;
    }
    bool locked = false;
    for (GList* l = items; l; l = l->next) {
        locked = locked || secret_item_get_locked(SECRET_ITEM(l->data));
    }
    g_list_free_full(items, g_object_unref);
    if (locked) {
        why = "the keyring is locked";
    }
    return locked;
}

SecretStore::Read LibsecretStore::read(const std::string& account) {
    GHashTable* attributes = attributesOf(service_, account);
    std::string why;
    GAsyncResult* answer = await(
        limit_, stopped_,
        [&](GCancellable* c, GAsyncReadyCallback done, gpointer data) {
            secret_password_lookupv(schema(), attributes, c, done, data);
        },
        why);
    g_hash_table_unref(attributes);
    if (!answer) {
        return {Status::failed, {}, why};
    }
    GError* error = nullptr;
    gchar* value = secret_password_lookup_finish(answer, &error);
    g_object_unref(answer);
    if (error) {
        if (value) {
            secret_password_free(value);
        }
        return {Status::failed, {}, take(error)};
    }
    if (!value) {
        if (lockedMatchExists(account, why)) {
            return {Status::failed, {}, why};
        }
        return {Status::notFound, {}, {}};
    }
    Read r{Status::ok, value, {}};
    secret_password_free(value);
    return r;
}

SecretStore::Outcome LibsecretStore::write(const std::string& account, const std::string& value) {
    GHashTable* attributes = attributesOf(service_, account);
    const std::string label = service_ + " " + account;
    std::string why;
    GAsyncResult* answer = await(
        limit_, stopped_,
        [&](GCancellable* c, GAsyncReadyCallback done, gpointer data) {
            secret_password_storev(schema(), attributes, SECRET_COLLECTION_DEFAULT, label.c_str(),
                                   value.c_str(), c, done, data);
        },
        why);
    g_hash_table_unref(attributes);
    if (!answer) {
        return {false, why};
    }
    GError* error = nullptr;
    const gboolean ok = secret_password_store_finish(answer, &error);
    g_object_unref(answer);
    if (!ok || error) {
        return {false, take(error)};
    }
    return {true, {}};
}

SecretStore::Outcome LibsecretStore::remove(const std::string& account) {
    GHashTable* attributes = attributesOf(service_, account);
    std::string why;
    GAsyncResult* answer = await(
        limit_, stopped_,
        [&](GCancellable* c, GAsyncReadyCallback done, gpointer data) {
            secret_password_clearv(schema(), attributes, c, done, data);
        },
        why);
    g_hash_table_unref(attributes);
    if (!answer) {
        return {false, why};
    }
    GError* error = nullptr;
    // False without an error means there was nothing to delete.
    secret_password_clear_finish(answer, &error);
    g_object_unref(answer);
    if (error) {
        return {false, take(error)};
    }
    return {true, {}};
}

} // namespace helm
