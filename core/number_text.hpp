#pragma once
// The conversions a check rests on. All text is UTF-16 (std::u16string).
#include <cstdint>
#include <string>
#include <string_view>

#include "run_error.hpp"

namespace belavo {

// Reads a decimal number: optional blanks around it (space, tab, U+3000), an
// optional sign, digits with at most one full stop, an optional exponent
// (E or e, optional sign, digits). Full-width forms of the digits, the full
// stop, the signs and E/e count as their ASCII forms; U+2212 is a minus.
// Correctly rounded to the nearest double; underflow gives 0.
// Throws RunError 13 for text that is not such a number, RunError 6 for a
// number beyond the range of a double; both name `entry`.
double textToNumber(std::u16string_view text, Entry entry);

// Rounds half to even into a signed 16-bit integer; RunError 6 outside
// -32768..32767 (and for NaN/infinity).
std::int16_t toInt16(double value);

// Plain decimal: "21", "-5", "0", "10000".
std::u16string int16ToText(std::int16_t value);

// For the entry fields' change handlers: what a text is by the rules above.
enum class EntryShape {
    Empty,    // nothing, or blanks only
    Number,   // a complete number
    Prefix,   // can still become a number by typing more ("-", "1e", ".", "1e+")
    Invalid,  // can never become one by typing at the end ("cm", "1..2", "12a")
};
EntryShape classifyEntry(std::u16string_view text);

}  // namespace belavo
