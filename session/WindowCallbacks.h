// The user's figure callbacks (onLDown, onMove, ...) called through the
// ordinary user-function machinery. A callback runs like a typed input:
// its errors are reported on the console and go no further.
#pragma once

#include "graphics/Interaction.h"

#include <exception>
#include <functional>

namespace vemlor {

class Workspace;

class WindowCallbacks final : public FigureCallbacks {
  public:
    using ErrorReport = std::function<void(std::exception_ptr)>;
    using MessageReport = std::function<void(const std::string&)>;
    WindowCallbacks(Workspace& workspace, ErrorReport errors, MessageReport messages)
        : workspace_(workspace), errors_(std::move(errors)), messages_(std::move(messages)) {}

    bool defines(const std::string& name) override;
    void call(const std::string& name, const double position[2], const double* pair) override;
    void report(const std::string& message) override { messages_(message); }

  private:
    Workspace& workspace_;
    ErrorReport errors_;
    MessageReport messages_;
};

} // namespace vemlor
