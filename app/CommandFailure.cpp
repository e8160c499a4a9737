#include "app/CommandFailure.h"

#include <new>

#include "app/UserInterface.h"

namespace orvex {

std::string ExceptionMessage(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::bad_alloc&) {
    return kInsufficientMemoryMessage;
  } catch (const std::exception& e) {
    const char* what = e.what();
    return what && *what ? std::string("Unexpected error: ") + what : "Unexpected error";
  } catch (...) {
    return "Unexpected error";
  }
}

void ShowFailure(CUserInterface& ui, const std::exception_ptr& error) noexcept {
  try {
    ui.ShowMessage(ExceptionMessage(error));
  } catch (...) {
  }
}

bool RunShowingFailure(CUserInterface& ui, const std::function<void()>& work) noexcept {
  try {
    work();
    return true;
  } catch (...) {
    ShowFailure(ui, std::current_exception());
    return false;
  }
}

} // namespace orvex
