#include "config/utf.h"

#include <cstdint>

namespace kr450 {
namespace {

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendUnit(std::string& out, uint32_t unit) {
  out.push_back(static_cast<char>(unit & 0xFF));
  out.push_back(static_cast<char>(unit >> 8));
}

bool IsContinuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

struct DecodedCodePoint {
  uint32_t value;
  size_t length;  // bytes of the input it takes
};

constexpr uint32_t REPLACEMENT_CHARACTER = 0xFFFD;

// The length a UTF-8 lead byte announces; 1 for ASCII and for bytes that lead nothing.
size_t SequenceLength(unsigned char lead) {
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

// The code point at `i`. A broken or cut-off sequence gives U+FFFD for its first byte alone,
// and decoding goes on with the next byte.
DecodedCodePoint DecodeUtf8At(std::string_view utf8, size_t i) {
  const auto lead = static_cast<unsigned char>(utf8[i]);
  if (lead < 0x80) return {lead, 1};
  const size_t length = SequenceLength(lead);
  if (length == 1 || i + length > utf8.size()) return {REPLACEMENT_CHARACTER, 1};
  uint32_t cp = lead & (0xFF >> (length + 1));
  for (size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(utf8[i + k]);
    if (!IsContinuation(next)) return {REPLACEMENT_CHARACTER, 1};
    cp = (cp << 6) | (next & 0x3F);
  }
  return {cp, length};
}

void AppendUtf16Le(std::string& out, uint32_t cp) {
  if (cp < 0x10000) {
    AppendUnit(out, cp);
    return;
  }
  cp -= 0x10000;
  AppendUnit(out, 0xD800 + (cp >> 10));
  AppendUnit(out, 0xDC00 + (cp & 0x3FF));
}

}  // namespace

std::string DecodeUtf16Le(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  auto unitAt = [&](size_t i) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) |
           (static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
  };
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    uint32_t unit = unitAt(i);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
      uint32_t low = unitAt(i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    AppendUtf8(out, unit);
  }
  return out;
}

std::string EncodeUtf16Le(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  size_t i = 0;
  while (i < utf8.size()) {
    const DecodedCodePoint decoded = DecodeUtf8At(utf8, i);
    AppendUtf16Le(out, decoded.value);
    i += decoded.length;
  }
  return out;
}

size_t Utf8Length(std::string_view text) {
  size_t count = 0;
  for (char c : text) {
    if (!IsContinuation(static_cast<unsigned char>(c))) ++count;
  }
  return count;
}

std::string_view Utf8Prefix(std::string_view text, size_t count) {
  size_t seen = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsContinuation(static_cast<unsigned char>(text[i]))) {
      if (seen == count) return text.substr(0, i);
      ++seen;
    }
  }
  return text;
}

}  // namespace kr450
