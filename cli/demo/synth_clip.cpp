// The demo's material: a synthetic clip with edges, gradients, fine detail,
// flat areas and moving content, clean and with Gaussian noise of a known
// strength, from a fixed seed; and the PSNR of one raw clip against another.
//
//   orv_synth_clip make WIDTH HEIGHT FRAMES SIGMA CLEAN.raw NOISY.raw
//   orv_synth_clip psnr WIDTH HEIGHT A.raw B.raw
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

uint8_t clip(double v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : std::lround(v)); }

void render(int w, int h, int t, std::vector<uint8_t>& rgb) {
    const double pi = 3.14159265358979323846;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double u = static_cast<double>(x) / w, v = static_cast<double>(y) / h;
            double r = 40 + 150 * u, g = 60 + 120 * v, b = 170 - 100 * u;  // gradients
            if (u > 0.55 && u < 0.95 && v > 0.08 && v < 0.45) {            // flat panel
                r = 200, g = 190, b = 170;
            }
            if (u > 0.05 && u < 0.4 && v > 0.55 && v < 0.92) {  // fine detail: a zone plate
                const double dx = x - 0.225 * w, dy = y - 0.735 * h;
                const double s = 0.5 + 0.5 * std::cos(pi * (dx * dx + dy * dy) / (0.9 * w));
                r = g = b = 30 + 200 * s;
            }
            if (((x / 24) + (y / 24)) % 2 == 0 && u > 0.6 && v > 0.6) {  // hard edges
                r *= 0.35, g *= 0.35, b *= 0.35;
            }
            const double cx = w * (0.2 + 0.6 * (0.5 + 0.5 * std::sin(t * 0.08))), cy = h * 0.3;
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < (0.08 * h) * (0.08 * h)) {  // moving disc
                r = 230, g = 60, b = 40;
            }
            if (((x + 3 * t) / 10) % 6 == 0 && v > 0.46 && v < 0.52) r = g = b = 250;  // moving bars
            const size_t i = (static_cast<size_t>(y) * w + x) * 3;
            rgb[i] = clip(r), rgb[i + 1] = clip(g), rgb[i + 2] = clip(b);
        }
}

void put(std::ofstream& f, const std::vector<uint8_t>& rgb, const std::vector<double>& noise) {
    std::vector<uint8_t> bgr0(rgb.size() / 3 * 4);
    for (size_t p = 0; p < rgb.size() / 3; ++p) {
        const double n = noise.empty() ? 0.0 : noise[p];
        bgr0[p * 4 + 0] = clip(rgb[p * 3 + 2] + n);
        bgr0[p * 4 + 1] = clip(rgb[p * 3 + 1] + n);
        bgr0[p * 4 + 2] = clip(rgb[p * 3 + 0] + n);
        bgr0[p * 4 + 3] = 0;
    }
    f.write(reinterpret_cast<const char*>(bgr0.data()), static_cast<std::streamsize>(bgr0.size()));
}

int make(int w, int h, int frames, double sigma, const char* cleanPath, const char* noisyPath) {
    std::ofstream clean(cleanPath, std::ios::binary), noisy(noisyPath, std::ios::binary);
    std::mt19937 rng(20261207);
    std::normal_distribution<double> gauss(0.0, sigma);
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    std::vector<double> noise(static_cast<size_t>(w) * h);
    for (int t = 0; t < frames; ++t) {
        render(w, h, t, rgb);
        // Luma noise: the filter works on luma and leaves chroma as it is.
        for (auto& n : noise) n = gauss(rng);
        put(clean, rgb, {});
        put(noisy, rgb, noise);
    }
    return clean && noisy ? 0 : 1;
}

int psnr(int w, int h, const char* a, const char* b) {
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    const size_t n = static_cast<size_t>(w) * h * 4;
    std::vector<uint8_t> pa(n), pb(n);
    double sse = 0;
    uint64_t count = 0;
    while (fa.read(reinterpret_cast<char*>(pa.data()), static_cast<std::streamsize>(n)) &&
           fb.read(reinterpret_cast<char*>(pb.data()), static_cast<std::streamsize>(n))) {
        for (size_t i = 0; i < n; ++i) {
            if (i % 4 == 3) continue;
            const double d = static_cast<double>(pa[i]) - pb[i];
            sse += d * d;
            ++count;
        }
    }
    if (count == 0) return 1;
    const double mse = sse / static_cast<double>(count);
    std::printf("%.2f\n", mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 8 && std::strcmp(argv[1], "make") == 0)
        return make(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atof(argv[5]), argv[6], argv[7]);
    if (argc == 6 && std::strcmp(argv[1], "psnr") == 0)
        return psnr(std::atoi(argv[2]), std::atoi(argv[3]), argv[4], argv[5]);
    std::fprintf(stderr, "usage: orv_synth_clip make W H FRAMES SIGMA CLEAN.raw NOISY.raw | psnr W H A.raw B.raw\n");
    return 2;
}
