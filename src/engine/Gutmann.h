// The 35-pass method: the data of its passes and the prompt of its error box.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "engine/Wipe.h"
#include "platform/Errors.h"

namespace engine {

inline constexpr std::int16_t kGutmannPassCount = 35;

// The data of pass `Passata` (1 to 35) over a file of `length` bytes, produced
// piece by piece so that memory does not grow with the file.
std::unique_ptr<PassData> GutmannPassData(int Passata, std::int64_t length);

// The prompt of the method's error box for an error that ended it.
QString GutmannErrorPrompt(const platform::RuntimeError& error);

}  // namespace engine
