// SIGINT, SIGTERM and SIGHUP stop a run: every thread watches one flag, and
// while the output's hidden file stands the handler removes it and ends the
// process itself, as a thread may sit in a long library call.
#pragma once

#include <atomic>
#include <string>

namespace orv::cli {

// Catches the three from here on; a closed pipe and a file size limit show
// as write errors instead.
void signals_catch();

// The signal that stopped the run, 0 while running. Loops and libav's
// interrupt hooks look at it.
const std::atomic<int>& signal_flag();
int signal_received();
void signals_reset();

// From the moment the output's hidden file is named (empty for raw output)
// until it is moved into place, a signal removes it, says so and exits
// 128 + the signal at once.
void signals_arm_tail_stop(const std::string& output, const std::string& hiddenFile);
// Ends that; false when a handler has already taken over.
bool signals_disarm_tail_stop();

// Says what the signal received left behind; the exit code for it.
int signals_report_stop(const std::string& output);

}  // namespace orv::cli
