#include "desk/Json.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace helm::json {

namespace {

[[noreturn]] void fail(const char* key, const char* what) {
    throw DecodeError(std::string("\"") + key + "\": " + what);
}

} // namespace

bool allFinite(const Json& j) {
    switch (j.type()) {
    case Json::value_t::number_float:
        return std::isfinite(j.get<double>());
    case Json::value_t::array:
    case Json::value_t::object:
        for (const auto& v : j) {
            if (!allFinite(v)) {
                return false;
            }
        }
        return true;
    default:
        return true;
    }
}

const Json& field(const Json& obj, const char* key) {
    if (!obj.is_object()) {
        fail(key, "expected an object");
    }
    auto it = obj.find(key);
    if (it == obj.end()) {
        fail(key, "missing");
    }
    return *it;
}

const Json* optionalField(const Json& obj, const char* key) {
    if (!obj.is_object()) {
        fail(key, "expected an object");
    }
    auto it = obj.find(key);
    if (it == obj.end() || it->is_null()) {
        return nullptr;
    }
    return &*it;
}

double toDouble(const Json& v, const char* key) {
    if (!v.is_number()) {
        fail(key, "expected a number");
    }
    return v.get<double>();
}

long long toInt(const Json& v, const char* key) {
    if (v.is_number_unsigned()) {
        auto u = v.get<unsigned long long>();
        if (u > static_cast<unsigned long long>(std::numeric_limits<long long>::max())) {
            fail(key, "integer out of range");
        }
        return static_cast<long long>(u);
    }
    if (v.is_number_integer()) { // nlohmann counts unsigned as integer too: checked above
        return v.get<long long>();
    }
    if (v.is_number_float()) {
        // A whole number written as 2.0 is still an integer.
        double d = v.get<double>();
        if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 9.0e15) {
            return static_cast<long long>(d);
        }
    }
    fail(key, "expected an integer");
}

int toInt32(const Json& v, const char* key) {
    long long n = toInt(v, key);
    if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max()) {
        fail(key, "integer out of range");
    }
    return static_cast<int>(n);
}

bool toBool(const Json& v, const char* key) {
    if (!v.is_boolean()) {
        fail(key, "expected a Boolean");
    }
    return v.get<bool>();
}

std::string toString(const Json& v, const char* key) {
    if (!v.is_string()) {
        fail(key, "expected a string");
    }
    return v.get<std::string>();
}

std::vector<double> toDoubles(const Json& v, const char* key) {
    if (!v.is_array()) {
        fail(key, "expected an array");
    }
    std::vector<double> out;
    out.reserve(v.size());
    for (const auto& e : v) {
        out.push_back(toDouble(e, key));
    }
    return out;
}

double getDouble(const Json& obj, const char* key) {
    return toDouble(field(obj, key), key);
}
long long getInt(const Json& obj, const char* key) {
    return toInt(field(obj, key), key);
}
int getInt32(const Json& obj, const char* key) {
    return toInt32(field(obj, key), key);
}
bool getBool(const Json& obj, const char* key) {
    return toBool(field(obj, key), key);
}
std::string getString(const Json& obj, const char* key) {
    return toString(field(obj, key), key);
}

double finite(double v, const char* key) {
    if (!std::isfinite(v)) {
        throw EncodeError(std::string("\"") + key + "\": number is not finite");
    }
    return v;
}

std::string dump(const Json& j) {
    if (!allFinite(j)) {
        throw EncodeError("a number is not finite");
    }
    try {
        return j.dump();
    } catch (const Json::exception& e) {
        // A string that is not UTF-8: callers handle one kind of refusal, not nlohmann's own.
        throw EncodeError(std::string("cannot write: ") + e.what());
    }
}

bool nestsDeeperThan(std::string_view text, int limit) {
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (char c : text) {
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) {
                return true;
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

Json parse(const std::string& text) {
    if (nestsDeeperThan(text, maxDepth)) {
        char what[64];
        std::snprintf(what, sizeof what, "malformed JSON: nested deeper than %d levels", maxDepth);
        throw DecodeError(what);
    }
    try {
        return Json::parse(text);
    } catch (const Json::exception& e) {
        throw DecodeError(std::string("malformed JSON: ") + e.what());
    }
}

} // namespace helm::json
