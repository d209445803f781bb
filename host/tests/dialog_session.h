// Opens the module's configuration dialog the way the editor does, through
// the definition's configProc, and drives the modal dialog from inside its
// own message loop: a thread timer runs one step per tick while the dialog
// manager pumps messages, so that posted input (keys, the close box) is
// handled between steps just as a user's would be. Every run is bounded: a
// dialog still open after its last step, or after the time limit, is ended by
// force and the run says so.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "test_support/test_host.h"
#include "host/vd_interface.h"

namespace orv::test {

// The host's preview interface, recording what the dialog asks of it.
struct PreviewCall {
    enum Kind { InitButton, Toggle, RedoFrame, Other };
    Kind kind;
    HWND window;  // InitButton's and Toggle's argument
    bool operator==(const PreviewCall&) const = default;
};

class RecordingPreview final : public IFilterPreview {
public:
    std::vector<PreviewCall> calls;
    int count(PreviewCall::Kind kind) const;
    int redraws() const { return count(PreviewCall::RedoFrame); }

    void SetButtonCallback(void (*)(bool, void*), void*) override { other(); }
    void SetSampleCallback(void (*)(VFBitmap*, long, long, void*), void*) override { other(); }
    bool isPreviewEnabled() override { return other(), false; }
    void Toggle(HWND w) override { calls.push_back({PreviewCall::Toggle, w}); }
    void Display(HWND, bool) override { other(); }
    void RedoFrame() override { calls.push_back({PreviewCall::RedoFrame, nullptr}); }
    void RedoSystem() override { other(); }
    void UndoSystem() override { other(); }
    void InitButton(HWND w) override { calls.push_back({PreviewCall::InitButton, w}); }
    void Close() override { other(); }
    bool SampleCurrentFrame() override { return other(), false; }
    long SampleFrames() override { return other(), 0; }

private:
    void other() { calls.push_back({PreviewCall::Other, nullptr}); }
};

// The open dialog as a test step sees it.
class Dialog {
public:
    explicit Dialog(HWND window) : window_(window) {}
    HWND window() const { return window_; }
    HWND item(int id) const { return GetDlgItem(window_, id); }
    // Still there and not ended: the window exists and is shown.
    bool open() const { return IsWindow(window_) && IsWindowVisible(window_); }

    // A mouse click on a button, as the button itself reports it.
    void click(int id) const;
    bool checked(int id) const;
    // Changes the box without a notification, as a user can't.
    void set_checked(int id, bool on) const;
    bool enabled(int id) const { return IsWindowEnabled(item(id)) != FALSE; }
    std::string text(int id) const;

    int position(int id) const;
    int range_min(int id) const;
    int range_max(int id) const;
    // Moves the thumb without a notification.
    void set_position(int id, int pos) const;
    // The notification a trackbar sends its parent, with its current position.
    void scroll(int id, int code) const;
    // Keys straight to a control's window procedure (down, then up).
    void key(int id, UINT vk) const;
    // A key through the message queue, to the window with the focus (the
    // dialog when none has it), so that the dialog manager sees it first.
    void post_key(UINT vk) const;

private:
    HWND window_;
};

// A step returns true when done; false runs it again at the next tick.
using Step = std::function<bool(Dialog&)>;
inline Step act(std::function<void(Dialog&)> f) {
    return [f = std::move(f)](Dialog& d) {
        f(d);
        return true;
    };
}

// A message that reached the dialog window: WM_COMMAND and WM_HSCROLL, sent
// or posted.
struct DialogMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct DialogRun {
    int result = -1;           // configProc's answer
    bool opened = false;       // a dialog window came up
    size_t stepsDone = 0;
    bool forcedEnd = false;    // the test had to end it
    bool timedOut = false;
    // Faults (access violations and the like) raised while the dialog ran.
    // The system swallows a fault inside a window procedure on x64, and the
    // dialog goes on as if nothing happened: only this shows it.
    int faults = 0;
    HWND dialog = nullptr;
    std::vector<DialogMessage> messages;
    int commands(int id) const;  // WM_COMMAND with this id in the low word
    int scrolls() const;         // WM_HSCROLL
};

// The dialog's result when the test ended it by force.
constexpr INT_PTR kForcedEnd = 0x7E57;

// Calls configProc of `host`'s definition for `in`, with `preview` as the
// activation's preview interface, and runs `steps` in the dialog.
DialogRun run_dialog(ModuleHost& host, HostInstance& in, IFilterPreview* preview, std::vector<Step> steps,
                     HWND parent = nullptr, std::chrono::milliseconds limit = std::chrono::seconds(30));

// The run opened a dialog, ran every step and the dialog ended by itself.
void expect_completed(const DialogRun& run, size_t steps);

}  // namespace orv::test
