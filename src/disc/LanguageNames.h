#pragma once
// English names of the ISO 639-2 language codes that stream attributes carry.

#include <string_view>

namespace corvane {

// "eng" → "English", "ger" and "deu" → "German"; "" for a code without a name.
std::string_view languageName(std::string_view code);

} // namespace corvane
