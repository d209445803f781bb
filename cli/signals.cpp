#include "cli/signals.h"

#include "cli/input/input_libav.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>

namespace orv::cli {

namespace {

std::atomic<int> gSignal{0};

std::string stopped_line(int sig, const std::string& output) {
    return std::string("orv: stopped by ") + strsignal(sig) + "; " +
           (output == "-" || names_a_stream(output) ? "the output is incomplete" : output + " was not written") + "\n";
}

// The run's threads may sit in one encoder or libav call for longer than a
// stop may take: while armed, the handler ends the run itself, with only
// async-signal-safe calls on text made before. A sequence's hidden folder
// can't be removed that way: its runs stop through the flag.
struct TailStop {
    std::atomic<int> state{0};  // 1 armed; 2 a handler is ending the run
    char tempFile[4096] = {};   // empty for raw output
    std::string lines[3];       // SIGHUP, SIGINT, SIGTERM
    static int slot(int sig) { return sig == SIGHUP ? 0 : sig == SIGINT ? 1 : 2; }
};
TailStop gTail;

void on_signal(int sig) {
    gSignal.store(sig);
    int armed = 1;
    if (!gTail.state.compare_exchange_strong(armed, 2)) return;
    if (gTail.tempFile[0] != '\0') unlink(gTail.tempFile);
    const std::string& line = gTail.lines[TailStop::slot(sig)];
    [[maybe_unused]] const ssize_t n = write(2, line.data(), line.size());
    _exit(128 + sig);
}

}  // namespace

void signals_catch() {
    struct sigaction sa {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);  // a file size limit shows as a write error
}

const std::atomic<int>& signal_flag() { return gSignal; }

int signal_received() { return gSignal.load(); }

void signals_reset() { gSignal.store(0); }

void signals_arm_tail_stop(const std::string& output, const std::string& hiddenFile) {
    const std::string overBar = isatty(2) ? "\r\033[K" : "";  // a progress bar may be on the line
    for (int sig : {SIGHUP, SIGINT, SIGTERM}) gTail.lines[TailStop::slot(sig)] = overBar + stopped_line(sig, output);
    std::snprintf(gTail.tempFile, sizeof gTail.tempFile, "%s", hiddenFile.c_str());
    gTail.state.store(1);
}

bool signals_disarm_tail_stop() {
    int armed = 1;
    return gTail.state.compare_exchange_strong(armed, 0);
}

int signals_report_stop(const std::string& output) {
    const int sig = gSignal.load();
    std::fputs(stopped_line(sig, output).c_str(), stderr);
    std::fflush(stderr);
    return 128 + sig;
}

}  // namespace orv::cli
