#include "host/config_dialog.h"

#include "core/filter_instance.h"
#include "host/guarded.h"
#include "host/module_handle.h"
#include "host/resource.h"

namespace orv {

// Without an instance there is nothing to configure: the host hears the
// same as for a refused parent window, and no dialog opens.
int configProc(FilterActivation* fa, const FilterFunctions*, HWND parent) noexcept {
    if (fa == nullptr || fa->filter_data == nullptr) return 1;
    return guarded(1, [&] {
        auto& fi = *static_cast<FilterInstance*>(fa->filter_data);
        fi.preview = fa->ifp;
        const INT_PTR result = DialogBoxParamA(dll_handle(), MAKEINTRESOURCEA(IDD_ORV_CONFIG), parent,
                                               &dialog_proc, reinterpret_cast<LPARAM>(&fi));
        // Only a parent window that the system refuses gives 0; the dialog
        // itself ends with IDC_OK or 1.
        return result == 0 ? 1 : 0;
    });
}

}  // namespace orv
