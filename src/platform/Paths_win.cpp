#include "platform/Paths.h"

namespace platform {

const QChar kSep = QLatin1Char('\\');

}  // namespace platform
