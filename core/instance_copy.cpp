#include "core/instance_copy.h"

#include <cstring>

namespace orv {

namespace {

void forget_resources(FilterInstance& fi) {
    fi.preview = nullptr;
    fi.lumaPlane = nullptr;
    fi.lumaPlaneSize = 0;
    fi.lineRing = nullptr;
    fi.gpu = nullptr;
}

}  // namespace

void claim_resources(FilterInstance& fi) {
    if (fi.owner == &fi) return;
    forget_resources(fi);
    fi.owner = &fi;
}

void copy_instance(const FilterInstance& from, FilterInstance& to) {
    if (&from == &to) return;
    std::memcpy(static_cast<void*>(&to), &from, sizeof(FilterInstance));
    forget_resources(to);
    to.owner = &to;
}

}  // namespace orv
