// The device code of the filter: the directional denoise kernel and the noise
// profile kernel. nvcc builds this file into the module's fat binary; the test
// emulator compiles the very same file as C++ (through test_support/emu/cuda_compat.h),
// so every line here must be valid in both worlds and free of undefined
// behaviour as C++.
//
// Built with --fmad=false: the colour rebuild fuses exactly where it calls
// __fmaf_rn and nowhere else, which decides the last bit of every channel.

#ifdef __CUDACC__
// Block-shared array. The emulator defines its own form, which gives every
// block a fresh region with guard bytes around it.
#define ORV_SHARED(type, name, count) __shared__ type name[count]
#endif

// The decision and its wrap-around arithmetic, shared with the CPU reference.
// A path relative to this file, which nvcc and the emulator both resolve.
#include "../core/decision.h"

// ---- Device helpers -------------------------------------------------------

// Luma of a pixel whose first three bytes are blue, green and red, rounded in
// integers; a grey X gives X, and the top byte is ignored.
static __device__ __forceinline__ int luma_from_bgrx(uchar4 p) {
    return (77 * p.z + 150 * p.y + 29 * p.x + 128) >> 8;
}

static __device__ __forceinline__ int clampi(int v, int lo, int hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

static __device__ __forceinline__ int clip8(int v) { return clampi(v, 0, 255); }

// Output channels from the source channels and the luma correction S, in
// single precision. With S = 0 every colour comes back exactly.
static __device__ __forceinline__ uchar4 rebuild_bgrx(uchar4 in, int S) {
    const float B = in.x, G = in.y, R = in.z;
    const float Y = __fmaf_rn(B, 0.114f, __fmaf_rn(G, 0.587f, R * 0.299f));
    const float U = __fmaf_rn(B, 0.436f, __fmaf_rn(R, -0.147f, G * -0.289f));
    const float V = __fmaf_rn(B, 0.1f, __fmaf_rn(R, 0.615f, G * -0.515f));
    const float Yc = Y - static_cast<float>(S);
    const float red = __fmaf_rn(V, 1.14f, __fmaf_rn(Yc, 0.772f, U * -0.4633f));
    const float green = __fmaf_rn(V, -0.5806f, __fmaf_rn(Yc, 1.1161f, U * -0.1587f));
    const float blue = __fmaf_rn(V, -0.0005f, __fmaf_rn(U, 2.0322f, Yc * 1.0001f));
    return make_uchar4(static_cast<unsigned char>(clip8(static_cast<int>(blue + 0.5f))),
                       static_cast<unsigned char>(clip8(static_cast<int>(green + 0.5f))),
                       static_cast<unsigned char>(clip8(static_cast<int>(red + 0.5f))), 0);
}

// The picture of the change: 127 is no change, each step of loss adds 5.
static __device__ __forceinline__ uchar4 show_noise_bgrx(uchar4 in, uchar4 out) {
    return make_uchar4(static_cast<unsigned char>(clip8(127 + 5 * (in.x - out.x))),
                       static_cast<unsigned char>(clip8(127 + 5 * (in.y - out.y))),
                       static_cast<unsigned char>(clip8(127 + 5 * (in.z - out.z))), 0);
}

static __device__ __forceinline__ const uchar4* pixel_row(const unsigned char* frame, unsigned long long pitch,
                                                          int row) {
    return reinterpret_cast<const uchar4*>(frame + static_cast<unsigned long long>(row) * pitch);
}

// ---- Denoise kernel -------------------------------------------------------

// One thread per output pixel, in blocks of BW x BH threads. The block first
// converts its tile of source pixels to luma in shared memory: BW + 12 columns
// by BH + 24 rows, enough for 6 columns sideways and 12 rows (6 distances of
// two rows with interlace) up and down. Positions outside the frame are
// clamped to it, so the edge rows and columns repeat outwards.
template <int BW, int BH>
__global__ void orv_kernel(const unsigned char* source, unsigned long long sourcePitch, unsigned char* output,
                           unsigned long long outputPitch, int width, int height, int f1, int f2, int sharp,
                           int interlace, int showNoise) {
    constexpr int tileCols = BW + 12;
    constexpr int tileRows = BH + 24;
    ORV_SHARED(unsigned char, shY, tileCols * tileRows);

    const int tx = static_cast<int>(threadIdx.x);
    const int ty = static_cast<int>(threadIdx.y);
    const int left = static_cast<int>(blockIdx.x) * BW - 6;
    const int top = static_cast<int>(blockIdx.y) * BH - 12;

    // Every thread helps to fill the tile, also those past the frame's edge:
    // none may leave before the barrier.
    for (int r = ty; r < tileRows; r += BH) {
        const uchar4* row = pixel_row(source, sourcePitch, clampi(top + r, 0, height - 1));
        for (int c = tx; c < tileCols; c += BW) {
            const uchar4 pixel = __ldg(row + clampi(left + c, 0, width - 1));
            shY[r * tileCols + c] = static_cast<unsigned char>(luma_from_bgrx(pixel));
        }
    }
    __syncthreads();

    const int x = left + 6 + tx;
    const int y = top + 12 + ty;
    if (x >= width || y >= height) return;

    const uchar4 in = __ldg(pixel_row(source, sourcePitch, y) + x);
    const int cy = ty + 12;
    const int cx = tx + 6;
    const int c = shY[cy * tileCols + cx];
    const int s = interlace != 0 ? 2 : 1;
    const orv::Strengths settings = orv::make_strengths(f1, f2, sharp);

    // Row and column step from the centre to the plus-side neighbour at
    // distance 1: horizontal, vertical, falling and rising diagonal. The
    // reach never leaves the tile; limiting the cell indices all the same
    // keeps a launch with a wrongly shaped block inside shared memory.
    const int stepRow[4] = {0, s, s, s};
    const int stepCol[4] = {1, 0, 1, -1};
    int sum = 0;
#pragma unroll
    for (int dir = 0; dir < 4; ++dir) {
        int P[7];
        P[0] = 0;
#pragma unroll
        for (int d = 1; d <= 6; ++d) {
            const int dy = stepRow[dir] * d;
            const int dx = stepCol[dir] * d;
            const int plus = shY[clampi(cy + dy, 0, tileRows - 1) * tileCols + clampi(cx + dx, 0, tileCols - 1)];
            const int minus = shY[clampi(cy - dy, 0, tileRows - 1) * tileCols + clampi(cx - dx, 0, tileCols - 1)];
            P[d] = plus + minus;
        }
        sum = orv::wrap_add(sum, orv::direction_contribution(c, P, settings));
    }
    const int S = sum >> 16;

    const uchar4 out = rebuild_bgrx(in, S);
    uchar4* dst = reinterpret_cast<uchar4*>(output + static_cast<unsigned long long>(y) * outputPitch) + x;
    *dst = showNoise != 0 ? show_noise_bgrx(in, out) : out;
}

template __global__ void orv_kernel<16, 16>(const unsigned char*, unsigned long long, unsigned char*,
                                            unsigned long long, int, int, int, int, int, int, int);

// ---- Noise profile kernel -------------------------------------------------

// Each thread stands for one 8 x 8 cell and samples its corner pixel when the
// pixel's surroundings are flat: it adds how far the pixel lies from the
// rounded mean of its 3 x 3 block.
__global__ void orv_profile_sigma_kernel(const unsigned char* source, unsigned long long pitch, int width,
                                         int height, unsigned long long* sum, unsigned int* count) {
    const int i = static_cast<int>(blockIdx.x * blockDim.x + threadIdx.x);
    const int j = static_cast<int>(blockIdx.y * blockDim.y + threadIdx.y);
    const int x = 8 * i;
    const int y = 8 * j;
    if (x < 1 || y < 1 || x + 2 >= width || y + 2 >= height) return;

    const uchar4* above = pixel_row(source, pitch, y - 1);
    const uchar4* here = pixel_row(source, pitch, y);
    const uchar4* below = pixel_row(source, pitch, y + 1);
    const int centre = luma_from_bgrx(__ldg(here + x));
    const int west = luma_from_bgrx(__ldg(here + x - 1));
    const int east = luma_from_bgrx(__ldg(here + x + 1));
    const int north = luma_from_bgrx(__ldg(above + x));
    const int south = luma_from_bgrx(__ldg(below + x));
    const int gradient = abs(east - west) + abs(south - north);
    if (gradient > 10) return;

    const int block = centre + west + east + north + south + luma_from_bgrx(__ldg(above + x - 1)) +
                      luma_from_bgrx(__ldg(above + x + 1)) + luma_from_bgrx(__ldg(below + x - 1)) +
                      luma_from_bgrx(__ldg(below + x + 1));
    const int mean = (block + 4) / 9;
    atomicAdd(sum, static_cast<unsigned long long>(abs(centre - mean)));
    atomicAdd(count, 1u);
}
