#include "json/JsonIn.h"

#include <algorithm>

#include "io/TextUtil.h"
#include "json/JsonDiff.h"

namespace corvane::json::in {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string shown(const nlohmann::json* value) {
    if (!value) return "nothing";
    std::string text = value->dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    if (text.size() > 40) text = text.substr(0, 37) + "...";
    return text;
}

void fail(std::string pointer, std::string expected, const nlohmann::json* found) {
    throw BuildError{std::move(pointer), std::move(expected), shown(found)};
}

std::uint64_t integer(const nlohmann::json* value, const std::string& pointer, std::uint64_t max) {
    const auto expected = [&] { return "an integer 0.." + std::to_string(max); };
    if (!value || !value->is_number_integer()) fail(pointer, expected(), value);
    if (value->is_number_unsigned()) {
        const auto n = value->get<std::uint64_t>();
        if (n > max) fail(pointer, expected(), value);
        return n;
    }
    const auto n = value->get<std::int64_t>();
    if (n < 0 || static_cast<std::uint64_t>(n) > max) fail(pointer, expected(), value);
    return static_cast<std::uint64_t>(n);
}

std::vector<std::uint8_t> hexBytes(const nlohmann::json* value, const std::string& pointer) {
    const char* expected = "bytes as a hex string (a dump made without --no-data)";
    if (!value || !value->is_string()) fail(pointer, expected, value);
    const auto& text = value->get_ref<const std::string&>();
    if (text.size() % 2) fail(pointer, expected, value);
    std::vector<std::uint8_t> bytes(text.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int high = hexDigit(text[2 * i]), low = hexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0) fail(pointer, expected, value);
        bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return bytes;
}

std::string latin1(const nlohmann::json* value, const std::string& pointer, std::size_t maxChars) {
    const std::string expected = "Latin-1 text of at most " + std::to_string(maxChars) + " characters";
    if (!value || !value->is_string()) fail(pointer, expected, value);
    const auto& text = value->get_ref<const std::string&>();
    std::string bytes = utf8ToLatin1(text, text.size());
    // A character outside Latin-1 would come back as '?': refused rather than changed.
    if (bytes.size() > maxChars || latin1ToUtf8(bytes) != text) fail(pointer, expected, value);
    return bytes;
}

Object::Object(const nlohmann::json& value, std::string pointer)
    : value_(value), pointer_(std::move(pointer)) {
    if (!value_.is_object()) fail(pointer_, "an object", &value_);
}

std::string Object::at(std::string_view key) const {
    return appendPointer(pointer_, key);
}

const nlohmann::json* Object::find(std::string_view key) {
    used_.insert(std::string(key));
    const auto it = value_.find(std::string(key));
    return it == value_.end() ? nullptr : &*it;
}

const nlohmann::json* Object::objectField(std::string_view key) {
    const nlohmann::json* value = find(key);
    if (!value) fail(at(key), "an object", value);
    return value;
}

const nlohmann::json& Object::array(std::string_view key, std::size_t maxSize) {
    const nlohmann::json* value = find(key);
    if (!value || !value->is_array()) fail(at(key), "an array", value);
    if (value->size() > maxSize) {
        const nlohmann::json count = value->size();
        fail(at(key), "at most " + std::to_string(maxSize) + " elements", &count);
    }
    return *value;
}

void Object::finish() const {
    for (auto it = value_.begin(); it != value_.end(); ++it)
        if (!used_.contains(it.key()))
            fail(at(it.key()), "a field of this record (no field has that name)", &it.value());
}

void checkCount(Object& object, std::string_view key, std::size_t size, bool keepLengths) {
    const auto count = object.optionalNumber<std::uint64_t>(key, keepLengths);
    if (keepLengths && *count != size) {
        const nlohmann::json found = *count;
        fail(object.at(key), std::to_string(size) + " (the elements listed)", &found);
    }
}

} // namespace corvane::json::in
