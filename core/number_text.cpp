#include "number_text.hpp"

#include <charconv>
#include <cstdint>
#include <iterator>
#include <system_error>

namespace belavo {

namespace {

// Full-width digits, full stop, signs and E/e, the minus sign U+2212 and the
// ideographic space are read as their ASCII forms; all else stays as it is.
char16_t asciiForm(char16_t c) noexcept {
    if (c < u'\u2212') return c;
    if (c >= u'\uFF10' && c <= u'\uFF19') return static_cast<char16_t>(u'0' + (c - u'\uFF10'));
    switch (c) {
    case u'\u3000': return u' ';
    case u'\uFF0E': return u'.';
    case u'\uFF0B': return u'+';
    case u'\uFF0D':
    case u'\u2212': return u'-';
    case u'\uFF25': return u'E';
    case u'\uFF45': return u'e';
    default: return c;
    }
}

bool isDigit(char16_t c) noexcept { return c >= u'0' && c <= u'9'; }

// An exponent this large already puts any number that fits in memory far out
// of range (or to zero); stopping there keeps the sums below in long long.
constexpr long long exponentCap = 1'000'000'000'000'000;

// Up to 15 digits are exact in a double, and so are the powers of ten up to
// 10^22.
constexpr int exactDigits = 15;
constexpr double exactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr long long largestExactPower = 22;

// A number as read: ±0.<significant digits> × 10^decimalExponent. The digits
// themselves are kept as a value only while they are few; longer ones are
// read again from `mantissa` when needed.
struct DecimalNumber {
    bool negative = false;
    std::u16string_view mantissa;    // as typed: digits and at most one point
    int significantDigits = 0;       // from the first non-zero one, up to exactDigits + 1
    std::int64_t leadingDigits = 0;  // the first exactDigits of them, as a value
    long long decimalExponent = 0;
};

class NumberScanner {
public:
    explicit NumberScanner(std::u16string_view text) : text_(text) {}

    EntryShape scan(DecimalNumber& number) {
        skipBlanks();
        if (atEnd()) return EntryShape::Empty;
        if (take(u'-')) number.negative = true;
        else take(u'+');
        if (!readMantissa(number)) return endOfIncompleteNumber();
        if (take(u'E') || take(u'e')) {
            if (!readExponent(number)) return endOfIncompleteNumber();
        }
        skipBlanks();
        return atEnd() ? EntryShape::Number : EntryShape::Invalid;
    }

private:
    bool atEnd() const noexcept { return pos_ == text_.size(); }
    char16_t peek() const noexcept { return asciiForm(text_[pos_]); }

    bool take(char16_t c) noexcept {
        if (atEnd() || peek() != c) return false;
        ++pos_;
        return true;
    }

    void skipBlanks() noexcept {
        while (!atEnd() && (peek() == u' ' || peek() == u'\t')) ++pos_;
    }

    // Reading stopped where more typing could still complete the number only
    // if it stopped at the very end of the text.
    EntryShape endOfIncompleteNumber() const noexcept {
        return atEnd() ? EntryShape::Prefix : EntryShape::Invalid;
    }

    // Digits with at most one full stop; true when there was a digit.
    bool readMantissa(DecimalNumber& number) noexcept {
        const std::size_t start = pos_;
        bool sawDigit = false;
        bool afterPoint = false;
        for (; !atEnd(); ++pos_) {
            const char16_t c = peek();
            if (c == u'.' && !afterPoint) {
                afterPoint = true;
                continue;
            }
            if (!isDigit(c)) break;
            sawDigit = true;
            addMantissaDigit(number, c - u'0', afterPoint);
        }
        number.mantissa = text_.substr(start, pos_ - start);
        return sawDigit;
    }

    static void addMantissaDigit(DecimalNumber& number, int digit, bool afterPoint) noexcept {
        const bool leadingZero = digit == 0 && number.significantDigits == 0;
        if (leadingZero) {
            if (afterPoint) --number.decimalExponent;
            return;
        }
        if (!afterPoint) ++number.decimalExponent;
        if (number.significantDigits < exactDigits) {
            number.leadingDigits = number.leadingDigits * 10 + digit;
        }
        if (number.significantDigits <= exactDigits) ++number.significantDigits;
    }

    // Optional sign and digits; true when there was a digit.
    bool readExponent(DecimalNumber& number) noexcept {
        const bool negative = take(u'-');
        if (!negative) take(u'+');
        long long exponent = 0;
        bool sawDigit = false;
        for (; !atEnd() && isDigit(peek()); ++pos_) {
            sawDigit = true;
            if (exponent < exponentCap) exponent = exponent * 10 + (peek() - u'0');
        }
        number.decimalExponent += negative ? -exponent : exponent;
        return sawDigit;
    }

    std::u16string_view text_;
    std::size_t pos_ = 0;
};

// The common short numbers: one multiplication or division of two exact
// doubles is already correctly rounded.
bool readExactly(const DecimalNumber& number, double& magnitude) noexcept {
    if (number.significantDigits > exactDigits) return false;
    const long long scale = number.decimalExponent - number.significantDigits;
    if (scale < -largestExactPower || scale > largestExactPower) return false;
    const double digits = static_cast<double>(number.leadingDigits);
    magnitude = scale < 0 ? digits / exactPowersOfTen[-scale] : digits * exactPowersOfTen[scale];
    return true;
}

// "0.<significant digits>e<exponent>", the form std::from_chars reads.
std::string scientificText(const DecimalNumber& number) {
    std::string text = "0.";
    for (char16_t c : number.mantissa) {
        const char16_t ascii = asciiForm(c);
        const bool leadingZero = ascii == u'0' && text.size() == 2;
        if (isDigit(ascii) && !leadingZero) text.push_back(static_cast<char>(ascii));
    }
    text.push_back('e');
    char exponent[24];
    const auto written = std::to_chars(exponent, exponent + sizeof exponent, number.decimalExponent);
    text.append(exponent, written.ptr);
    return text;
}

// The nearest double to the number's magnitude, 0 on underflow.
double magnitudeOf(const DecimalNumber& number, Entry entry) {
    if (number.significantDigits == 0) return 0;
    // The value lies in [10^(e-1), 10^e): past 10^309 it overflows, below
    // 10^-324 (under half the least subnormal) it rounds to zero.
    const long long e = number.decimalExponent;
    if (e > 309) throw RunError(ErrorNumber::Overflow, entry);
    if (e < -323) return 0;
    double magnitude = 0;
    if (readExactly(number, magnitude)) return magnitude;
    // std::from_chars is locale-free and correctly rounded. It answers "out
    // of range" for overflow and underflow alike; the exponent tells which.
    const std::string ascii = scientificText(number);
    const auto parsed = std::from_chars(ascii.data(), ascii.data() + ascii.size(), magnitude);
    if (parsed.ec == std::errc::result_out_of_range) {
        if (e > 0) throw RunError(ErrorNumber::Overflow, entry);
        return 0;
    }
    return magnitude;
}

}  // namespace

double textToNumber(std::u16string_view text, Entry entry) {
    DecimalNumber number;
    if (NumberScanner(text).scan(number) != EntryShape::Number) {
        throw RunError(ErrorNumber::TypeMismatch, entry);
    }
    const double magnitude = magnitudeOf(number, entry);
    return number.negative ? -magnitude : magnitude;
}

std::int16_t toInt16(double value) {
    // Exactly the doubles that round into -32768..32767; also rejects NaN.
    if (!(value >= -32768.5 && value < 32767.5)) throw RunError(ErrorNumber::Overflow, Entry::None);
    int below = static_cast<int>(value);  // towards zero
    if (below > value) --below;
    const double fraction = value - below;  // exact at this magnitude
    const bool roundUp = fraction > 0.5 || (fraction == 0.5 && below % 2 != 0);
    return static_cast<std::int16_t>(roundUp ? below + 1 : below);
}

std::u16string int16ToText(std::int16_t value) {
    char16_t text[6];  // room for "-32768"
    char16_t* first = std::end(text);
    int rest = value < 0 ? -value : value;
    do {
        *--first = static_cast<char16_t>(u'0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (value < 0) *--first = u'-';
    return std::u16string(first, std::end(text));
}

EntryShape classifyEntry(std::u16string_view text) {
    DecimalNumber number;
    return NumberScanner(text).scan(number);
}

}  // namespace belavo
