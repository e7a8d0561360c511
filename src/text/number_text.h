// The one conversion of numbers to display text and of text to numbers.
#pragma once

#include <string>
#include <string_view>

namespace orv {

// The display text of a value: fifteen significant digits rounded half up, fixed form for
// magnitudes from 0.0001 to below 10^15 (trailing zeros trimmed), exponent form otherwise
// ("1.00000000000000e-05", "2.50000000000000e+020"). NaN and -0 give "0"; an infinity
// gives "1.#INF" or "-1.#INF". ASCII only, at most 22 bytes.
std::string FormatNumber(double value);

// The number at the start of a text: blanks and tabs skipped, an optional sign, digits, an
// optional fraction; "&H" and "&O" prefixes read hexadecimal and octal. No exponent part.
// Never fails: a text without digits gives 0. Very long digit strings give infinity,
// which callers must be ready for.
double ParseNumber(std::string_view text);

// Text after a prefix. Appending, rather than literal + temporary, sidesteps a false
// -Wrestrict report of GCC 12 at high optimisation.
inline std::string After(std::string prefix, const std::string& text) { return prefix += text; }

}  // namespace orv
