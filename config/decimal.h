#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kr450 {

// The profile files' number rule: optional leading white space and sign, then decimal digits
// up to the first other character; no digits give 0. Values beyond 32 bits saturate.
int32_t ParseDecimal(std::string_view text);

// "%d".
std::string FormatDecimal(int64_t value);

}  // namespace kr450
