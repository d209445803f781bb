// The configuration dialog: the definition's configProc, which runs dialog
// template 1000 modally, and the dialog procedure behind it. Windows only: a
// Linux host has no dialog manager, and the definition leaves configProc
// null there.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include "host/vd_interface.h"

namespace orv {

// Stores the host's preview interface in the instance and runs the dialog.
// 0 after Ok; 1 after Cancel (which has put the settings back already), when
// the dialog could not be shown, or when there is no instance to configure.
int configProc(FilterActivation* fa, const FilterFunctions* ff, HWND parent) noexcept;

// The dialog procedure. The initialisation value of WM_INITDIALOG is the
// FilterInstance that the dialog works on.
INT_PTR CALLBACK dialog_proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace orv

#endif
