#pragma once

// The one translation of a failed command into what the user is told. File
// errors arrive as exceptions from the file layer; the window and the
// command-line tool catch them where a command runs and report them here.

#include <exception>

#include "res/messages.h"
#include "res/user_interface.h"

namespace tl::app {

// The message for a failure caught from a command.
res::Msg FailureMessage(std::exception_ptr failure);

// Tells the user with a warning; the program goes on.
void ReportFailure(res::UserInterface& ui, std::exception_ptr failure);

}  // namespace tl::app
