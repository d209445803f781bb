#include "host/config_dialog.h"

#include "core/filter_instance.h"
#include "core/instance_copy.h"
#include "host/guarded.h"
#include "host/module_handle.h"
#include "host/resource.h"

namespace orv {

// The host reads 0 as accepted and anything else as cancelled: a filter
// being added whose dialog was cancelled, or could not be shown at all, is
// taken out again. Without an instance there is nothing to configure.
int configProc(FilterActivation* fa, const FilterFunctions*, HWND parent) noexcept {
    if (fa == nullptr || fa->filter_data == nullptr) return 1;
    return guarded(1, [&] {
        auto& fi = *static_cast<FilterInstance*>(fa->filter_data);
        claim_resources(fi);
        fi.preview = fa->ifp;
        // The dialog ends with IDC_OK after Ok and with 1 after Cancel; the
        // system gives 0 for a parent it refuses and -1 for any other
        // failure to show the dialog.
        const INT_PTR result = DialogBoxParamA(dll_handle(), MAKEINTRESOURCEA(IDD_ORV_CONFIG), parent,
                                               &dialog_proc, reinterpret_cast<LPARAM>(&fi));
        return result == IDC_OK ? 0 : 1;
    });
}

}  // namespace orv
