// Records every command the program would start, instead of starting it.
#pragma once

#include <vector>

#include "platform/Shell.h"

namespace apptest {

class StartRecorder {
  public:
    StartRecorder() {
        platform::hooks::SetStartHook([this](const QString& program, const QStringList& args) {
            starts.push_back({program, args});
            return answer;
        });
    }
    ~StartRecorder() { platform::hooks::SetStartHook(nullptr); }
    StartRecorder(const StartRecorder&) = delete;
    StartRecorder& operator=(const StartRecorder&) = delete;

    std::vector<platform::CommandLine> starts;
    bool answer = true;  // what StartDetached reports back
};

// The command that opens target with the desktop's default handler.
inline platform::CommandLine Opening(const QString& target) {
    return platform::OpenCommandLine(target);
}

}  // namespace apptest
