// The dialog procedure. The dialog keeps no state of its own: the instance
// lives in the window's DWLP_USER slot, every change is written to it at
// once, and the host's preview is asked to show the frame again.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "core/filter_instance.h"
#include "host/config_dialog.h"
#include "host/guarded.h"
#include "host/resource.h"

namespace orv {

namespace {

struct TrackbarBinding {
    int id;
    int32_t FilterInstance::*field;
    int maximum;
};

// In the order in which WM_HSCROLL looks for the sender.
constexpr TrackbarBinding kTrackbars[] = {
    {IDC_F1_TRACKBAR, &FilterInstance::f1, 100},
    {IDC_F2_TRACKBAR, &FilterInstance::f2, 100},
    {IDC_SHARP_TRACKBAR, &FilterInstance::sharp, 6},
};

struct CheckBoxBinding {
    int id;
    int32_t FilterInstance::*field;
};

constexpr CheckBoxBinding kCheckBoxes[] = {
    {IDC_SHOW_NOISE, &FilterInstance::showNoise},
    {IDC_DISABLE, &FilterInstance::disable},
    {IDC_INTERLACE, &FilterInstance::interlace},
    {IDC_MULTITHREADING, &FilterInstance::multithreading},
    {IDC_AUTO_PROFILE, &FilterInstance::autoProfile},
};

// What Cancel puts back. disable and showNoise have no saved copy: they keep
// what the user last set, also after Cancel.
struct SavedCopy {
    int32_t FilterInstance::*field;
    int32_t FilterInstance::*saved;
};

constexpr SavedCopy kSavedCopies[] = {
    {&FilterInstance::f1, &FilterInstance::savedF1},
    {&FilterInstance::f2, &FilterInstance::savedF2},
    {&FilterInstance::sharp, &FilterInstance::savedSharp},
    {&FilterInstance::interlace, &FilterInstance::savedInterlace},
    {&FilterInstance::multithreading, &FilterInstance::savedMultithreading},
    {&FilterInstance::autoProfile, &FilterInstance::savedAutoProfile},
};

FilterInstance* instance_of(HWND dialog) {
    return reinterpret_cast<FilterInstance*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

int32_t check_box_value(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) != 0 ? 1 : 0; }

int32_t trackbar_value(HWND dialog, int id) {
    return static_cast<int32_t>(SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0));
}

// A host may hand over no preview interface at all (a host without a preview,
// or one that drives the dialog from a script): then the dialog works the
// same and there is simply nothing to show.
void redraw(FilterInstance& fi) {
    if (fi.preview != nullptr) fi.preview->RedoFrame();
}

INT_PTR on_init_dialog(HWND dialog, FilterInstance& fi) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&fi));
    for (const auto& t : kTrackbars) {
        SendDlgItemMessageA(dialog, t.id, TBM_SETTICFREQ, 0, 0);
        SendDlgItemMessageA(dialog, t.id, TBM_SETRANGE, FALSE, MAKELPARAM(0, t.maximum));
        SendDlgItemMessageA(dialog, t.id, TBM_SETPOS, TRUE, static_cast<LPARAM>(fi.*t.field));
    }
    for (const auto& c : kCheckBoxes) CheckDlgButton(dialog, c.id, fi.*c.field != 0 ? BST_CHECKED : BST_UNCHECKED);
    if (fi.preview != nullptr) fi.preview->InitButton(GetDlgItem(dialog, IDC_SHOW_PREVIEW));
    for (const auto& c : kSavedCopies) fi.*c.saved = fi.*c.field;
    if (fi.threadCount == 1) EnableWindow(GetDlgItem(dialog, IDC_MULTITHREADING), FALSE);
    SetDlgItemInt(dialog, IDC_THREAD_COUNT, static_cast<UINT>(fi.threadCount), FALSE);
    return TRUE;  // the system gives the focus to the first tab stop
}

INT_PTR on_command(HWND dialog, FilterInstance& fi, int id) {
    switch (id) {
        case IDC_SHOW_PREVIEW:
            if (fi.preview != nullptr) fi.preview->Toggle(dialog);
            redraw(fi);
            return FALSE;
        case IDC_OK:
            fi.showNoise = check_box_value(dialog, IDC_SHOW_NOISE);
            fi.f1 = trackbar_value(dialog, IDC_F1_TRACKBAR);
            fi.f2 = trackbar_value(dialog, IDC_F2_TRACKBAR);
            fi.sharp = trackbar_value(dialog, IDC_SHARP_TRACKBAR);
            fi.autoProfile = check_box_value(dialog, IDC_AUTO_PROFILE);
            EndDialog(dialog, IDC_OK);
            return TRUE;
        case IDC_CANCEL:
            for (const auto& c : kSavedCopies) fi.*c.field = fi.*c.saved;
            EndDialog(dialog, 1);
            return FALSE;
        default:
            break;
    }
    // The system's own IDOK and IDCANCEL (Enter, Escape, the close box) land
    // here too and do nothing: only "Ok" and "Cancel" end the dialog.
    for (const auto& c : kCheckBoxes) {
        if (c.id != id) continue;
        fi.*c.field = check_box_value(dialog, id);
        redraw(fi);
        break;
    }
    return FALSE;
}

// Every notification counts, each step of a drag included: the preview
// follows the thumb, not only its release.
INT_PTR on_hscroll(HWND dialog, FilterInstance& fi, HWND sender) {
    for (const auto& t : kTrackbars) {
        if (GetDlgItem(dialog, t.id) != sender) continue;
        fi.*t.field = trackbar_value(dialog, t.id);
        redraw(fi);
        break;
    }
    return FALSE;
}

INT_PTR handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* fi = reinterpret_cast<FilterInstance*>(lParam);
        if (fi != nullptr) return on_init_dialog(dialog, *fi);
        // Nothing to configure, and no button could end the dialog.
        EndDialog(dialog, 1);
        return FALSE;
    }
    // Messages that come before WM_INITDIALOG (WM_SETFONT among them) find
    // no instance yet.
    FilterInstance* fi = instance_of(dialog);
    if (fi == nullptr) return FALSE;
    switch (message) {
        case WM_COMMAND:
            return on_command(dialog, *fi, LOWORD(wParam));
        case WM_HSCROLL:
            return on_hscroll(dialog, *fi, reinterpret_cast<HWND>(lParam));
        default:
            return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK dialog_proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return guarded(static_cast<INT_PTR>(FALSE), [&] { return handle(dialog, message, wParam, lParam); });
}

}  // namespace orv
