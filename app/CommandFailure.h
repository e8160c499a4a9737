#pragma once

#include <exception>
#include <functional>
#include <string>

namespace orvex {

class CUserInterface;

// What the user reads when a command or a file needs more memory than
// there is.
constexpr const char* kInsufficientMemoryMessage = "Insuffisant memory";

// The message for an exception that ended a piece of work: the memory
// message for std::bad_alloc, the exception's own text for the others.
std::string ExceptionMessage(const std::exception_ptr& error);

// Shows the message of error on ui. Nothing escapes, even when showing
// fails (memory may still be short).
void ShowFailure(CUserInterface& ui, const std::exception_ptr& error) noexcept;

// Runs work from an entry point of a front end (an event, a timer, a
// button): an exception it throws is shown on ui as a message instead of
// unwinding into the event loop or ending the program. False when it threw.
bool RunShowingFailure(CUserInterface& ui, const std::function<void()>& work) noexcept;

} // namespace orvex
