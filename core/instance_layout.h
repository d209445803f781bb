// The instance record's layout as one number, for hosts of our own (orv)
// that read and set its fields directly: the module declares the number it
// was built with, and such a host refuses a module whose number is not its
// own. The same size with the fields in another order gives another number.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/filter_instance.h"

// Every field of FilterInstance, in order. The build fails until a field
// added, removed or moved there is added, removed or moved here.
#define ORV_FILTER_INSTANCE_FIELDS(X)                                                                         \
    X(preview) X(f1) X(f2) X(savedF1) X(savedF2) X(sharp) X(savedSharp) X(disable) X(showNoise) X(threadCount) \
    X(interlace) X(savedInterlace) X(multithreading) X(savedMultithreading) X(lumaPlane) X(lumaPlaneSize)      \
    X(autoProfile) X(savedAutoProfile) X(noiseSigma) X(gpu) X(lastRoute) X(owner) X(lineRing)                 \
    X(gpuDeclineCall) X(gpuDeclineStatus)

namespace orv {

struct FieldPlace {
    const char* name;
    size_t offset, size, align;
};

template <class Record>
struct RecordFields {
#define ORV_FIELD_PLACE(f) \
    FieldPlace{#f, offsetof(Record, f), sizeof(Record::f), alignof(decltype(Record::f))},
    static constexpr FieldPlace list[] = {ORV_FILTER_INSTANCE_FIELDS(ORV_FIELD_PLACE)};
#undef ORV_FIELD_PLACE
};

// FNV-1a over each field's name, offset and size, then the record's size.
template <class Record>
constexpr uint64_t record_layout() {
    uint64_t h = 14695981039346656037ull;
    auto byte = [&h](uint8_t b) { h = (h ^ b) * 1099511628211ull; };
    auto word = [&byte](uint64_t v) {
        for (int i = 0; i < 8; ++i) byte(static_cast<uint8_t>(v >> (8 * i)));
    };
    for (const FieldPlace& f : RecordFields<Record>::list) {
        for (const char* c = f.name; *c != '\0'; ++c) byte(static_cast<uint8_t>(*c));
        word(f.offset);
        word(f.size);
    }
    word(sizeof(Record));
    return h;
}

// Whether the list is the record's fields in order with nothing between
// them but padding, and nothing after the last.
template <class Record>
constexpr bool fields_fill_record() {
    size_t end = 0;
    for (const FieldPlace& f : RecordFields<Record>::list) {
        if (f.offset != (end + f.align - 1) / f.align * f.align) return false;
        end = f.offset + f.size;
    }
    return (end + alignof(Record) - 1) / alignof(Record) * alignof(Record) == sizeof(Record);
}

static_assert(fields_fill_record<FilterInstance>(), "ORV_FILTER_INSTANCE_FIELDS must list every field in order");

}  // namespace orv
