#pragma once

#include <string>
#include <utility>

namespace vellick {

// The outcome of one shell operation (trash, rename, copy, launch, print): done, cancelled by the user, or
// failed with a reason the window shows. Cancelling is not an error and carries no message.
struct ShellResult {
    enum class Status { Done, Cancelled, Failed };

    Status status = Status::Done;
    std::string reason; // only for Failed

    static ShellResult done() { return {}; }
    static ShellResult cancelled() { return { Status::Cancelled, {} }; }
    static ShellResult failed(std::string why) { return { Status::Failed, std::move(why) }; }

    bool ok() const { return status == Status::Done; }
    bool wasCancelled() const { return status == Status::Cancelled; }
};

} // namespace vellick
