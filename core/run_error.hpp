#pragma once
// A failed step of a check: the error number the user is told (6 overflow,
// 11 division by zero, 13 type mismatch), a short Japanese description, and
// which entry, if any, the user has to correct.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace belavo {

enum class ErrorNumber : int { Overflow = 6, DivisionByZero = 11, TypeMismatch = 13 };
enum class Entry { None, Height, Weight };

class RunError : public std::runtime_error {
public:
    RunError(ErrorNumber number, Entry entry);

    ErrorNumber number() const noexcept { return number_; }
    Entry entry() const noexcept { return entry_; }
    // "オーバーフローしました。", "0 で除算しました。", "型が一致しません。"
    const std::u16string& description() const noexcept { return description_; }

private:
    ErrorNumber number_;
    Entry entry_;
    std::u16string description_;
};

}  // namespace belavo
