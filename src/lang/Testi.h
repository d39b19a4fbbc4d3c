// The text table: every caption and message of the program, by index.
#pragma once

#include <QString>
#include <array>

namespace lang {

inline constexpr int kTextCount = 91;  // indices 0 to 90; entry 0 stays empty

extern std::array<QString, kTextCount> Testi;

}  // namespace lang
