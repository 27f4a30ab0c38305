#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace helm::json {

// Objects keep their keys in the order they were written, so a stored record lists its fields
// in the record's own order (the calibration record's "steps", "heads", "eyes", "positions").
using Json = nlohmann::ordered_json;

// Thrown when a stored or received record does not decode: a required key is missing or a
// value has the wrong type. The message names the key.
struct DecodeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Thrown when a record cannot be written: a number that is not finite would come out as null
// and make the stored copy unreadable, so it is refused before anything is written.
struct EncodeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Reading. Integers are accepted where doubles are expected; a Boolean must be a JSON
// Boolean; a missing or null optional key is absent; unknown keys are ignored.
const Json& field(const Json& obj, const char* key);
double toDouble(const Json& v, const char* key);
long long toInt(const Json& v, const char* key);
int toInt32(const Json& v, const char* key); // also refuses values outside int's range
bool toBool(const Json& v, const char* key);
std::string toString(const Json& v, const char* key);
std::vector<double> toDoubles(const Json& v, const char* key);

double getDouble(const Json& obj, const char* key);
long long getInt(const Json& obj, const char* key);
int getInt32(const Json& obj, const char* key);
bool getBool(const Json& obj, const char* key);
std::string getString(const Json& obj, const char* key);

// The value under an optional key, or nothing when it is missing or null.
const Json* optionalField(const Json& obj, const char* key);

// Writing: finite numbers only.
double finite(double v, const char* key);
// Every number in j, however deeply nested, is finite.
bool allFinite(const Json& j);

// Encodes a whole value, refusing any non-finite number anywhere in it (a second line of
// defence behind `finite`) and any string that is not UTF-8, always as EncodeError, so a
// caller can store the result without checking it again.
std::string dump(const Json& j);

// Deeper than any record of ours nests. A value nested far deeper parses, but copying or
// writing it recurses once per level and overflows the stack.
inline constexpr int maxDepth = 64;

// Whether arrays and objects in JSON text nest deeper than `limit`, counted outside strings.
bool nestsDeeperThan(std::string_view text, int limit);

// Parses text, throwing DecodeError (never nlohmann's own exceptions) on malformed input and,
// before parsing, on text nested deeper than maxDepth.
Json parse(const std::string& text);

} // namespace helm::json
