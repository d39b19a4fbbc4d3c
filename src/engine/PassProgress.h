// What the writing of a file's passes tells of its progress, and asks. The
// progress window implements it (engine/ProgressWindow.h); tests give their own.
#pragma once

#include "engine/Wipe.h"

namespace engine {

class PassProgress {
  public:
    virtual ~PassProgress() = default;
    // Pass `pass` (from 1) begins. The 35-pass method tells only its first.
    virtual void PassBegins(int pass, PassKind kind) = 0;
    // `step` steps of pass `pass` are written: 1 to 100 chunks of a method's
    // pass, or, for the 35-pass method, the pass itself (step = pass).
    virtual void Stepped(int pass, int step) = 0;
    // Asked after each step; false ends the writing there, the step's bytes on
    // the drive.
    virtual bool GoOn() = 0;
};

// What a file's wipe tells besides its passes.
class WipeProgress : public PassProgress {
  public:
    // The wipe stopped when asked to: the file keeps its name.
    virtual void Stopped() = 0;
    // The 35-pass method ended on an error, its box shown; the file keeps its name.
    virtual void Failed() = 0;
};

}  // namespace engine
