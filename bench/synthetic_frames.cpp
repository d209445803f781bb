#include "bench/synthetic_frames.h"

#include <cmath>
#include <random>

namespace orv::bench {

namespace {

// Standard normal deviates by Box-Muller: std::normal_distribution's sequence
// is left to each library, and the frames must be the same everywhere.
class Gaussian {
public:
    explicit Gaussian(uint32_t seed) : rng_(seed) {}
    double next() {
        if (haveSpare_) {
            haveSpare_ = false;
            return spare_;
        }
        const double u1 = (static_cast<double>(rng_()) + 1.0) / 4294967297.0;
        const double u2 = static_cast<double>(rng_()) / 4294967296.0;
        const double r = std::sqrt(-2.0 * std::log(u1));
        spare_ = r * std::sin(6.283185307179586 * u2);
        haveSpare_ = true;
        return r * std::cos(6.283185307179586 * u2);
    }

private:
    std::mt19937 rng_;
    double spare_ = 0.0;
    bool haveSpare_ = false;
};

uint32_t clamp_byte(double v) { return v < 0.0 ? 0u : v > 255.0 ? 255u : static_cast<uint32_t>(v); }

// The clean picture at (x, y) of frame k, as three channel values.
void scene(int32_t w, int32_t h, int k, int32_t x, int32_t y, double (&rgb)[3]) {
    const double fx = static_cast<double>(x) / w, fy = static_cast<double>(y) / h;
    // Sky-to-ground gradient with a sideways tint.
    rgb[0] = 40.0 + 150.0 * fx;
    rgb[1] = 60.0 + 120.0 * (1.0 - fy);
    rgb[2] = 90.0 + 100.0 * fy * (1.0 - fx);
    // A bright disc and a dark bar that move from frame to frame.
    const double cx = 0.3 + 0.02 * k, cy = 0.45, dx = (fx - cx) * w / h, dy = fy - cy;
    if (dx * dx + dy * dy < 0.04) {
        rgb[0] = 230.0;
        rgb[1] = 200.0 - 60.0 * dy;
        rgb[2] = 120.0;
    }
    if (fx > 0.6 - 0.01 * k && fx < 0.68 - 0.01 * k && fy > 0.15 && fy < 0.85) {
        rgb[0] *= 0.25;
        rgb[1] *= 0.3;
        rgb[2] *= 0.35;
    }
    // Fabric-like texture in the lower right, and fine stripes at the bottom.
    if (fx > 0.72 && fy > 0.5) {
        const double t = 18.0 * std::sin(x * 0.9 + k) * std::cos(y * 0.7);
        for (double& c : rgb) c += t;
    }
    if (fy > 0.9) {
        const double t = (x / 3 + y / 3) % 2 == 0 ? 25.0 : -25.0;
        for (double& c : rgb) c += t;
    }
}

}  // namespace

std::vector<std::vector<uint32_t>> synthetic_frames(int32_t w, int32_t h, int count) {
    std::vector<std::vector<uint32_t>> frames(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) {
        Gaussian noise(0x0E5u + static_cast<uint32_t>(k));
        auto& f = frames[static_cast<size_t>(k)];
        f.resize(static_cast<size_t>(w) * h);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                double rgb[3];
                scene(w, h, k, x, y, rgb);
                // Sensor-like noise: a shared luma component and a weaker chroma component.
                const double common = 5.0 * noise.next();
                uint32_t word = 0;
                for (int c = 0; c < 3; ++c) word = word << 8 | clamp_byte(rgb[c] + common + 2.5 * noise.next());
                f[static_cast<size_t>(y) * w + x] = word;
            }
    }
    return frames;
}

}  // namespace orv::bench
