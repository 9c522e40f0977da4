#include "run_error.hpp"

namespace belavo {

namespace {

std::u16string describe(ErrorNumber number) {
    switch (number) {
    case ErrorNumber::Overflow: return u"オーバーフローしました。";
    case ErrorNumber::DivisionByZero: return u"0 で除算しました。";
    case ErrorNumber::TypeMismatch: return u"型が一致しません。";
    }
    return u"";
}

std::string whatText(ErrorNumber number) {
    return "run-time error " + std::to_string(static_cast<int>(number));
}

}  // namespace

RunError::RunError(ErrorNumber number, Entry entry)
    : std::runtime_error(whatText(number)),
      number_(number),
      entry_(entry),
      description_(describe(number)) {}

}  // namespace belavo
