#include "test_support/gpu_expect.h"

#include <string>

#include "test_support/fail.h"
#include "gpu/emu/orv_cuda_emu.h"
#include "gpu/noise_profile.h"
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
    const unsigned char* source = reinterpret_cast<const unsigned char*>(in.data());
    unsigned char* output = reinterpret_cast<unsigned char*>(out.data());
    unsigned long long pitch = static_cast<unsigned long long>(w) * 4, outPitch = pitch;
    int width = w, height = h, f1 = k.f1, f2 = k.f2, sharp = k.sharp, interlace = k.interlace,
        showNoise = k.showNoise;
    void* params[] = {&source, &pitch, &output, &outPitch, &width, &height,
                      &f1,     &f2,    &sharp,  &interlace, &showNoise};
    launch(emu::kDenoiseKernelName, emu::denoise_grid(w, h), params);
    return address_order(out, w, h, dstPitch);
}

float emulated_sigma(const std::vector<uint32_t>& pixels, int32_t w, int32_t h, ptrdiff_t srcPitch) {
    const std::vector<uint32_t> in = address_order(pixels, w, h, srcPitch);
    const unsigned char* source = reinterpret_cast<const unsigned char*>(in.data());
    unsigned long long pitch = static_cast<unsigned long long>(w) * 4, sum = 0;
    unsigned int count = 0;
    unsigned long long* sumAt = &sum;
    unsigned int* countAt = &count;
    int width = w, height = h;
    void* params[] = {&source, &pitch, &width, &height, &sumAt, &countAt};
    launch(emu::kProfileKernelName, emu::profile_grid(w, h), params);
    return noise_sigma_from(sum, count);
}

}  // namespace orv::fuzz
