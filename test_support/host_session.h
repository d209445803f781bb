// A host that sends the module everything a host or a script can send, and
// checks after every call what must hold whatever it sent: frames written
// exactly as their route must write them (the CPU reference, or the kernels
// on the emulator) and nowhere else, return codes, settings that only the
// script command changes, texts that match the settings, a driver left with
// nothing of an ended instance. The fuzz target drives it from the fuzzer's
// input, the soak test from a seeded generator; any broken promise ends the
// process through fail().
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "test_support/fail.h"
#include "test_support/test_host.h"

namespace orv::test {
class FakeDriver;
}

namespace orv::fuzz {

// Where a session's decisions come from.
class Choices {
public:
    virtual ~Choices() = default;
    // 0 .. n-1 (n >= 1).
    virtual uint32_t below(uint32_t n) = 0;
    virtual uint64_t word() = 0;
    // True once nothing is left to decide with; a generator never runs out.
    virtual bool exhausted() const = 0;

    bool one_in(uint32_t n) { return below(n) == 0; }
    int32_t range(int32_t lo, int32_t hi) {
        return static_cast<int32_t>(static_cast<int64_t>(lo) + below(static_cast<uint32_t>(hi - lo) + 1));
    }
};

// The seeded generator of the soak test and of the regression replays.
class SeededChoices : public Choices {
public:
    explicit SeededChoices(uint64_t seed) : state_(seed) {}
    uint32_t below(uint32_t n) override { return static_cast<uint32_t>(word() % n); }
    uint64_t word() override;
    bool exhausted() const override { return false; }

private:
    uint64_t state_;
};

// What a session may send.
struct SessionProfile {
    int32_t minSide = 0;
    int32_t maxSide = 300;
    // Calls and frames outside the host's contract: negative sizes, a
    // destination that is the source, runs before start or after end, two
    // starts in a row, a script command called with too few arguments.
    bool badHost = true;
    // Instances that take turns, to catch state one instance leaves to another.
    int instances = 2;
};

// Script values that reach the arithmetic's corners: the dialog's ranges and
// their edges, values whose products wrap in 32 bits, and the extremes.
int32_t script_value(Choices& c);

struct FrameSpec {
    int32_t w = 0, h = 0;
    ptrdiff_t srcPitch = 0, dstPitch = 0;
    bool inPlace = false;  // the destination is the source frame
};

// The settings as the session believes the instance holds them.
struct Settings {
    int32_t f1, f2, sharp, interlace, multithreading, disable, showNoise, autoProfile;
};

// With the fake CUDA driver under the module, frames may take the GPU route:
// their output must then be the kernels' (worked out on the emulator) with the
// settings that the noise profile adapts, and every driver failure must send
// the frame to the CPU route or leave it to the GPU as the route allows.
class HostSession {
public:
    HostSession(test::ModuleHost& host, Choices& choices, SessionProfile profile, uint8_t garbage = 0xA5,
                test::FakeDriver* driver = nullptr);
    ~HostSession();

    // One host action chosen by the choices, with its checks.
    void step();
    // Ends every started instance, as a host does before it lets them go.
    void finish();

    // The actions themselves, on instance `k`.
    void config(int k, int32_t f1, int32_t f2, int32_t sharp, int32_t interlace, int32_t multithreading);
    void set_switches(int k, int32_t disable, int32_t showNoise, int32_t autoProfile);
    void start(int k, int32_t w, int32_t h);
    void run(int k, const FrameSpec& frame);
    void end(int k);
    void strings(int k, int buflen);
    // The string callbacks with no buffer, or a length of 0 or less.
    void careless_strings(int k, int buflen, bool noBuffer);
    // The script command as a careless interpreter might call it.
    void raw_config(int k, const std::vector<int32_t>& args, bool nullArgv);
    // Makes one of the coming calls of a driver entry fail, or every call of
    // it; with mayLeak false, only of the entries whose failure leaves nothing
    // behind on the device.
    void plan_driver_failure(bool mayLeak = true);
    // The nth call from now of that entry fails (nth 0: every call).
    void plan_driver_failure_of(const char* entry, int nth, int status = 801);
    // With every instance ended, the driver holds no memory or stream of
    // theirs (a driver that refused to free keeps it: plan no such failure).
    void check_device_released();
    // The module's deinit entry, which frees the GPU contexts ends leave idle.
    void give_back_idle_contexts();
    // Forgets the driver's call counts, log and planned failures.
    void forget_driver_history();

    // A frame layout for w x h from the choices.
    FrameSpec frame_spec(int32_t w, int32_t h);
    int32_t side();

    uint64_t frames() const { return frames_; }
    int instances() const { return static_cast<int>(slots_.size()); }

private:
    struct Slot {
        std::unique_ptr<test::HostInstance> in;
        Settings s{};
        bool started = false;
        int32_t startW = 0, startH = 0;
    };

    void check_fields(int k, const char* after);
    void strings_step(int k);
    void frame_step(int k);
    std::vector<uint32_t> picture(int32_t w, int32_t h);
    // The driver's log from offset `from` on.
    std::string driver_log_since(size_t from);
    size_t driver_log_size();
    void check_driver(const std::string& what);

    test::ModuleHost& host_;
    Choices& c_;
    SessionProfile profile_;
    std::vector<Slot> slots_;
    uint64_t frames_ = 0;
    test::FakeDriver* driver_;
    int liveAllocations_ = 0, liveStreams_ = 0;  // the driver's, before the session
};

}  // namespace orv::fuzz
