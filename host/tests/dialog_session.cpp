#include "host/tests/dialog_session.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>

namespace orv::test {

int RecordingPreview::count(PreviewCall::Kind kind) const {
    int n = 0;
    for (const auto& c : calls) n += c.kind == kind ? 1 : 0;
    return n;
}

// ---- the dialog as a step sees it

void Dialog::click(int id) const { SendMessageA(item(id), BM_CLICK, 0, 0); }

bool Dialog::checked(int id) const { return IsDlgButtonChecked(window_, id) == BST_CHECKED; }

void Dialog::set_checked(int id, bool on) const {
    SendMessageA(item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string Dialog::text(int id) const {
    char buf[256] = {};
    GetDlgItemTextA(window_, id, buf, sizeof buf);
    return buf;
}

int Dialog::position(int id) const { return static_cast<int>(SendMessageA(item(id), TBM_GETPOS, 0, 0)); }
int Dialog::range_min(int id) const { return static_cast<int>(SendMessageA(item(id), TBM_GETRANGEMIN, 0, 0)); }
int Dialog::range_max(int id) const { return static_cast<int>(SendMessageA(item(id), TBM_GETRANGEMAX, 0, 0)); }

void Dialog::set_position(int id, int pos) const { SendMessageA(item(id), TBM_SETPOS, TRUE, pos); }

void Dialog::scroll(int id, int code) const {
    const WPARAM w = MAKEWPARAM(code, static_cast<WORD>(position(id)));
    SendMessageA(window_, WM_HSCROLL, w, reinterpret_cast<LPARAM>(item(id)));
}

void Dialog::key(int id, UINT vk) const {
    SendMessageA(item(id), WM_KEYDOWN, vk, 1);
    SendMessageA(item(id), WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
}

void Dialog::post_key(UINT vk) const {
    HWND target = GetFocus();
    if (target == nullptr || (target != window_ && !IsChild(window_, target))) target = window_;
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
}

int DialogRun::commands(int id) const {
    int n = 0;
    for (const auto& m : messages) n += m.message == WM_COMMAND && LOWORD(m.wParam) == id ? 1 : 0;
    return n;
}

int DialogRun::scrolls() const {
    int n = 0;
    for (const auto& m : messages) n += m.message == WM_HSCROLL ? 1 : 0;
    return n;
}

// ---- the session

namespace {

constexpr UINT kTickMs = 20;
// Ticks to wait after the last step for the dialog to end by itself.
constexpr int kGraceTicks = 25;

struct Session {
    std::vector<Step> steps;
    DialogRun* run;
    DWORD start;
    DWORD limitMs;
    int graceTicks = 0;
};

// One dialog at a time: the timer and hook procedures carry no user data.
Session* session = nullptr;

bool is_dialog_window(HWND w) {
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    return std::strcmp(cls, "#32770") == 0;
}

BOOL CALLBACK find_dialog(HWND w, LPARAM out) {
    if (!is_dialog_window(w)) return TRUE;
    *reinterpret_cast<HWND*>(out) = w;
    return FALSE;
}

void note(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (session == nullptr || (message != WM_COMMAND && message != WM_HSCROLL) || !is_dialog_window(w)) return;
    session->run->messages.push_back({message, wParam, lParam});
}

LRESULT CALLBACK on_send(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* c = reinterpret_cast<const CWPSTRUCT*>(lParam);
        note(c->hwnd, c->message, c->wParam, c->lParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK on_post(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        const auto* m = reinterpret_cast<const MSG*>(lParam);
        note(m->hwnd, m->message, m->wParam, m->lParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Sees every exception first, before any handler can swallow it. Only
// errors count (severity bits 11): C++ exceptions and the system's
// notifications are not faults.
LONG CALLBACK on_exception(EXCEPTION_POINTERS* e) {
    if (session != nullptr && (e->ExceptionRecord->ExceptionCode & 0xC0000000u) == 0xC0000000u)
        ++session->run->faults;
    return EXCEPTION_CONTINUE_SEARCH;
}

void end_by_force(Session& s) {
    s.run->forcedEnd = true;
    if (s.run->dialog != nullptr && IsWindow(s.run->dialog)) EndDialog(s.run->dialog, kForcedEnd);
}

void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    if (session == nullptr || session->run->forcedEnd) return;
    Session& s = *session;
    DialogRun& run = *s.run;
    if (GetTickCount() - s.start > s.limitMs) {
        run.timedOut = true;
        end_by_force(s);
        return;
    }
    if (run.dialog == nullptr) {
        HWND found = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &find_dialog, reinterpret_cast<LPARAM>(&found));
        if (found == nullptr) return;
        run.dialog = found;
        run.opened = true;
    }
    if (run.stepsDone < s.steps.size()) {
        Dialog d(run.dialog);
        if (s.steps[run.stepsDone](d)) ++run.stepsDone;
        return;
    }
    if (++s.graceTicks > kGraceTicks) end_by_force(s);
}

}  // namespace

DialogRun run_dialog(ModuleHost& host, HostInstance& in, IFilterPreview* preview, std::vector<Step> steps,
                     HWND parent, std::chrono::milliseconds limit) {
    DialogRun run;
    const FilterDefinition& def = host.definition();
    if (def.configProc == nullptr) {
        ADD_FAILURE() << "the definition has no configProc";
        return run;
    }
    Session s{std::move(steps), &run, GetTickCount(), static_cast<DWORD>(limit.count())};
    session = &s;
    const DWORD thread = GetCurrentThreadId();
    HHOOK sent = SetWindowsHookExA(WH_CALLWNDPROC, &on_send, nullptr, thread);
    HHOOK posted = SetWindowsHookExA(WH_GETMESSAGE, &on_post, nullptr, thread);
    void* faults = AddVectoredExceptionHandler(1, &on_exception);
    const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, &tick);

    in.activation().ifp = preview;
    run.result = def.configProc(&in.activation(), &host.services(), parent);

    KillTimer(nullptr, timer);
    if (faults != nullptr) RemoveVectoredExceptionHandler(faults);
    if (posted != nullptr) UnhookWindowsHookEx(posted);
    if (sent != nullptr) UnhookWindowsHookEx(sent);
    session = nullptr;
    // Nothing of this dialog may be left for the next one to find.
    MSG m;
    for (int i = 0; i < 10000 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageA(&m);
    return run;
}

void expect_completed(const DialogRun& run, size_t steps) {
    EXPECT_TRUE(run.opened) << "no dialog came up";
    EXPECT_EQ(run.stepsDone, steps) << "the dialog ended before its last step";
    EXPECT_FALSE(run.timedOut) << "the dialog ran out of time";
    EXPECT_FALSE(run.forcedEnd) << "the dialog was still open after its last step";
    EXPECT_EQ(run.faults, 0) << "the dialog faulted, and the system swallowed it";
}

}  // namespace orv::test
