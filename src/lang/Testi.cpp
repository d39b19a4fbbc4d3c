#include "lang/Testi.h"

namespace lang {

std::array<QString, kTextCount> Testi;

}  // namespace lang
