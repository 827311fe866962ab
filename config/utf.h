#pragma once

#include <string>
#include <string_view>

namespace kr450 {

// UTF-16LE bytes to UTF-8. A lone surrogate is kept as its generalized three-byte form, so
// that EncodeUtf16Le gives back the same bytes; an odd last byte is dropped.
std::string DecodeUtf16Le(std::string_view bytes);
std::string EncodeUtf16Le(std::string_view utf8);

// Number of characters (code points) of a UTF-8 text, and its first `count` characters.
size_t Utf8Length(std::string_view text);
std::string_view Utf8Prefix(std::string_view text, size_t count);

}  // namespace kr450
