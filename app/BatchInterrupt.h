#pragma once

// Ctrl+C in the batch runner: the first SIGINT asks the running command to
// stop at its next progress report (the dispatcher then restores the scene
// it started from) and the runner to end without saving; a second one ends
// the process at once, as usual.

namespace orvex {

// Exit status of a run the user interrupted (128 + SIGINT, as shells use).
constexpr int kExitInterrupted = 130;

void InstallInterruptHandler();
bool Interrupted();

} // namespace orvex
