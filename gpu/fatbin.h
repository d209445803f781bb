// The module's CUDA fat binary, embedded at build time: both kernels as
// machine code for sm_75 to sm_120 and as compute_120 PTX. When the build
// had no nvcc, orv_fatbin_size is 0 and the module has no GPU code.
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

extern const unsigned char orv_fatbin[];
extern const size_t orv_fatbin_size;

#ifdef __cplusplus
}
#endif
