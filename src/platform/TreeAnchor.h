// The top folder of a folder or drop run, held for the whole run.
#pragma once

#include <QString>
#include <memory>

namespace platform {

// The top folder of a folder or drop run, opened once, when the user has named
// it and before anything is asked. The run holds it and hands it to every
// operation of this layer that takes one (`beneath`): a path beneath the top is
// then resolved from the top's descriptor, wherever the top's name went since.
// No component is followed as a link, none lies on another mount, and a path
// that no longer resolves that way is an error of that item, so nothing outside
// the tree is ever reached through the tree. Paths outside the top are used as
// they are. A top that is "", the system's root, a link, or named with "." or
// ".." is never opened: nothing resolves beneath it.
class TreeAnchor {
  public:
    explicit TreeAnchor(const QString& top);
    ~TreeAnchor();
    TreeAnchor(const TreeAnchor&) = delete;
    TreeAnchor& operator=(const TreeAnchor&) = delete;

    // Whether the top was opened.
    bool IsOpen() const;
    // The top's path as the run names it (separators made one).
    const QString& Top() const;

    // The system's side of the held top.
    struct State;
    State& Held() { return *s_; }

  private:
    std::unique_ptr<State> s_;
};

}  // namespace platform
