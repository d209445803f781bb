#include "test_support/gpu_expect.h"

#include <string>

#include "gpu/kernels.h"
#include "gpu/noise_profile.h"
#include "test_support/emu/orv_cuda_emu.h"
#include "test_support/fail.h"
#include "test_support/module_fixture.h"

namespace orv::fuzz {

namespace {

std::vector<uint32_t> address_order(const std::vector<uint32_t>& p, int32_t w, int32_t h, ptrdiff_t pitch) {
    return pitch < 0 ? test::flip_rows(p, w, h) : p;
}

void launch(const char* kernel, emu::Dim3 grid, void** params) {
    emu::Report report;
    if (!emu::launch_by_name(kernel, grid, emu::kBlock, params, &report))
        fail(std::string("the emulator could not run ") + kernel +
             (report.faults.empty() ? "" : ": " + report.faults[0].what));
}

}  // namespace

std::vector<uint32_t> emulated_denoise(const std::vector<uint32_t>& pixels, int32_t w, int32_t h,
                                       ptrdiff_t srcPitch, ptrdiff_t dstPitch, const KernelArgs& k) {
    // Packed rows: a kernel that reached past the frame would meet
    // AddressSanitizer here.
    const std::vector<uint32_t> in = address_order(pixels, w, h, srcPitch);
    std::vector<uint32_t> out(in.size(), 0xDEADBEEF);
    const unsigned long long pitch = static_cast<unsigned long long>(w) * 4;
    DenoiseParams params{reinterpret_cast<const unsigned char*>(in.data()), pitch,
                         reinterpret_cast<unsigned char*>(out.data()), pitch, w, h, k.f1, k.f2, k.sharp,
                         k.interlace, k.showNoise};
    launch(emu::kDenoiseKernelName, emu::denoise_grid(w, h), params.pointers().data());
    return address_order(out, w, h, dstPitch);
}

float emulated_sigma(const std::vector<uint32_t>& pixels, int32_t w, int32_t h, ptrdiff_t srcPitch) {
    const std::vector<uint32_t> in = address_order(pixels, w, h, srcPitch);
    unsigned long long sum = 0;
    unsigned int count = 0;
    ProfileParams params{reinterpret_cast<const unsigned char*>(in.data()), static_cast<unsigned long long>(w) * 4,
                         w, h, &sum, &count};
    launch(emu::kProfileKernelName, emu::profile_grid(w, h), params.pointers().data());
    return noise_sigma_from(sum, count);
}

}  // namespace orv::fuzz
