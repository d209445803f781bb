// The fast route's vector kernels, written once over the vector width: luma
// rows, the denoise and the colour rebuild, bit for bit the reference's
// results.
//
// One translation unit per kernel set includes this file after a width layer
// (core/simd/vec128.h, vec256.h, vec512.h), with ORV_SIMD(name) giving the
// kernels that set's names and ORV_WIDTH naming the layer. Those units alone
// are compiled with their instruction sets (and never -mfma), so nothing here
// may be shared with the rest of the module: every helper is internal. Where
// the integers can't settle a pixel, the colour model's own double arithmetic
// runs here in vectors, instruction for instruction in the model's order
// (core/colour.cpp keeps it one pixel at a time, the reference).
//
// Integers: the luma samples, read from 16-bit copies of the plane rows, and
// the pair sums are 16-bit lanes. Responses are formed by multiply-adds on
// interleaved pairs of pair sums, which puts the low four pixels of each
// 128-bit part in the "lo" 32-bit vector and the high four in "hi"; the
// decision runs in that order. All 32-bit lane arithmetic wraps, as the
// reference's does on settings from a script.
#if defined(__AVX512F__)
// GCC 12 takes the deliberately undefined inputs inside its own AVX-512
// intrinsics (_mm512_undefined_epi32) for uninitialised variables.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <cstdint>
#include <cstring>

#include "core/colour.h"
#include "core/row_kernels.h"

namespace orv::kernels {

namespace {

using V = ORV_WIDTH;
using I = V::I;
using M = V::M;
constexpr int kWords = V::kWords;  // 32-bit lanes, and pixels per rebuild block
constexpr int kLanes = 2 * kWords;  // pixels per core chunk
constexpr int kReach = 6;

// (a, b) 16-bit weights for a multiply-add on unpacked (x, y) lanes: a*x + b*y.
ORV_INLINE I weights(int32_t a, int32_t b) {
    return V::set32(static_cast<int32_t>(static_cast<uint32_t>(b) << 16 | (static_cast<uint32_t>(a) & 0xFFFF)));
}

// Byte shuffles within each 128-bit part: blue and green of four words as
// 16-bit pairs, red alone, and the b g r 0 of each word from a block of four
// blues, four greens and four reds.
constexpr int8_t kBlueGreen[16] = {0, -1, 1, -1, 4, -1, 5, -1, 8, -1, 9, -1, 12, -1, 13, -1};
constexpr int8_t kRed[16] = {2, -1, -1, -1, 6, -1, -1, -1, 10, -1, -1, -1, 14, -1, -1, -1};
constexpr int8_t kGather[16] = {0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15};

// --- colour ---------------------------------------------------------------

// The rebuild runs in 32-bit integers, exact wherever no intermediate is an
// exact multiple of its divisor. With n = 1000*y and nu, nv likewise (< 2^18
// in magnitude), and a channel's numerator N = 10000*(channel + 0.5) from the
// integer Y, U, V, each truncation of the model is n/1000 or N/10000
// truncated. Away from multiples those quotients lie at least 0.001 (0.0001)
// from an integer, and the model's double rounding (below 1e-11 here) cannot
// move them across one. At a multiple the model may land either side: those
// pixels (but the exact greys below) take Y, U and V, or for a channel the
// whole word, from the model itself. Beyond
// |Y| = 1000 every channel is saturated whatever U and V are, so Y is
// clamped there to keep the pairs 16-bit; that also keeps every channel
// numerator below 2^24 in magnitude, held exactly in float.
//
// n / divisor truncated, exactly, and n's remainder folded into `least` as
// an unsigned minimum, so that `least` is zero where some numerator was a
// multiple. `inverse` is the float just above 1/divisor: a multiple's
// product then never rounds below its quotient, and the excess (under 5e-8
// of the quotient) cannot carry any other numerator within reach to the next
// integer. That holds for every n up to 2^18 with 1000, and with 10000 for
// every numerator in 1 .. 2559999, the rest giving channels that saturate
// whatever they truncate to; the quotient fits 16 bits, as the remainder's
// multiply-add needs.
constexpr float kInverse1000 = 0x1.0624dep-10f;  // 0.001f, already above 1/1000
constexpr float kInverse10000 = 0x1.a36e3p-14f;  // one step above 0.0001f, which is below
ORV_INLINE I quotient(I n, float inverse, int16_t divisor, I& least) {
    const I q = V::quotient(n, inverse);
    least = V::minu32(least, V::madd_add(n, q, weights(static_cast<int16_t>(-divisor), 0)));
    return q;
}

// Pure greys: the model of level g, worked out once here rather than per
// pixel. Its U is a rounding off 0 and truncates to 0. Its V truncates as
// the float quotient of 200*g does, or one below on the levels this table
// lacks. Its luma (g*0.587 + g*0.299) + g*0.114 is g, or a rounding below g
// on the levels kWholeLumaGreys lacks.
constexpr bool grey_v_whole(int g) {
    const double d = g;
    const double v = (d * 0.615 - d * 0.515) + d * 0.1;
    return static_cast<int>(v) == static_cast<int>(static_cast<float>(200 * g) * kInverse1000);
}
constexpr bool grey_luma_whole(int g) {
    const double d = g;
    return (d * 0.587 + d * 0.299) + d * 0.114 == d;
}

// One bit per level: byte g / 8, bit g % 8.
struct GreyTable {
    int8_t low[16], high[16];
};

template <typename Pred>
constexpr GreyTable grey_table(Pred has) {
    GreyTable t{};
    for (int g = 0; g < 256; ++g)
        if (has(g)) (g < 128 ? t.low[g / 8] : t.high[g / 8 - 16]) |= static_cast<int8_t>(1 << (g % 8));
    return t;
}
constexpr GreyTable kWholeVGreys = grey_table(grey_v_whole);
constexpr GreyTable kWholeLumaGreys = grey_table(grey_luma_whole);
constexpr int8_t kBitOf[16] = {1, 2, 4, 8, 16, 32, 64, -128, 0, 0, 0, 0, 0, 0, 0, 0};

// Lanes whose word is a pure grey, its level in g.
ORV_INLINE M pure_grey(I w, I& g) {
    g = V::and_(w, V::set32(0xFF));
    const I ggg = V::or_(V::or_(g, V::shl32(g, 8)), V::shl32(g, 16));
    return V::eq32(V::and_(w, V::set32(0xFFFFFF)), ggg);
}

// Lanes whose level g lacks its bit in `t`.
ORV_INLINE M lacks(const GreyTable& t, I g) {
    const I index = V::shr32(g, 3);
    const I byte = V::select(V::gt32(index, V::set32(15)), V::shuffle8(V::each128(t.low), index),
                             V::shuffle8(V::each128(t.high), index));
    const I bit = V::and_(V::and_(byte, V::shuffle8(V::each128(kBitOf), V::and_(g, V::set32(7)))), V::set32(0xFF));
    return V::eq32(bit, V::zero());
}

// Pure greys are exact multiples (U's numerator is 0), and common (black
// bars, flat panels): their lanes of `multiple` get the model's Y - S, U and
// V here, and the others are returned, for the model. Where the model's luma
// lies a rounding below g, Y - S truncates to t - 1 for t = g - S in 1 .. the
// power of two at or above g; from there on the subtraction rounds to t, and
// at t <= 0 truncation toward zero gives t either way.
ORV_INLINE M settle_greys(I w, I S, M multiple, I& yi, I& ui, I& vi) {
    I g;
    const M grey = pure_grey(w, g);
    const I one = V::set32(1), t = V::sub32(g, S);
    // span = the power of two at or above g, less 1; t - 1 <= span unsigned.
    I span = V::sub32(g, one);
    span = V::or_(span, V::shr32(span, 1));
    span = V::or_(span, V::shr32(span, 2));
    span = V::or_(span, V::shr32(span, 4));
    const I below = V::sub32(t, one);
    const M inSpan = V::eq32(V::minu32(below, span), below);
    const I lower = V::select(inSpan, V::zero(), V::select(lacks(kWholeLumaGreys, g), V::zero(), one));
    yi = V::select(grey, yi, V::sub32(t, lower));
    ui = V::select(grey, ui, V::zero());
    vi = V::select(grey, vi, V::select(lacks(kWholeVGreys, g), vi, V::sub32(vi, one)));
    return V::andnot_mask(grey, multiple);
}

// The model's Y (less S), U and V of a block's words, each product and sum
// its own instruction in the model's order. They agree with the integers'
// wherever those are exact, so the whole block takes them.
__attribute__((noinline)) void model_yuv(const I& w, const I& S, I& yi, I& ui, I& vi) {
    V::D y[2], u[2], v[2];
    const I m = V::set32(0xFF);
    for (int p = 0; p < 2; ++p) {
        const V::D r = V::to_double(V::and_(V::shr32(w, 16), m), p), g = V::to_double(V::and_(V::shr32(w, 8), m), p),
                   b = V::to_double(V::and_(w, m), p);
        y[p] = V::sub(V::add(V::add(V::mul(g, 0.587), V::mul(r, 0.299)), V::mul(b, 0.114)), V::to_double(S, p));
        u[p] = V::add(V::sub(V::mul(r, -0.147), V::mul(g, 0.289)), V::mul(b, 0.436));
        v[p] = V::add(V::sub(V::mul(r, 0.615), V::mul(g, 0.515)), V::mul(b, 0.1));
    }
    yi = V::truncate(y[0], y[1]), ui = V::truncate(u[0], u[1]), vi = V::truncate(v[0], v[1]);
}

// A block's b g r 0 words from its channels, the clamp to 0..255 being the
// packs' saturation: bytes b0-3 g0-3 r0-3 0000 in each 128-bit part, then
// each pixel's four gathered.
ORV_INLINE I pack_words(I red, I green, I blue) {
    const I bgr0 = V::packus16(V::packs32(blue, green), V::packs32(red, V::zero()));
    return V::shuffle8(bgr0, V::each128(kGather));
}

// The model's words from Y', U and V (the model's own in every lane by now):
// each channel's products and sums its own instruction in the model's order,
// truncated. Channels stay far inside 32 bits (|Y'| <= 2^15 + 255), so the
// truncation needs no saturation of its own.
__attribute__((noinline)) void model_words(const I& yi, const I& ui, const I& vi, I& words) {
    V::D red[2], green[2], blue[2];
    for (int p = 0; p < 2; ++p) {
        const V::D y = V::to_double(yi, p), u = V::to_double(ui, p), v = V::to_double(vi, p);
        red[p] = V::add(V::add(V::sub(V::mul(y, 0.772), V::mul(u, 0.4633)), V::mul(v, 1.14)), 0.5);
        green[p] = V::add(V::sub(V::sub(V::mul(y, 1.1161), V::mul(u, 0.1587)), V::mul(v, 0.5806)), 0.5);
        blue[p] = V::add(V::sub(V::add(V::mul(y, 1.0001), V::mul(u, 2.0322)), V::mul(v, 0.0005)), 0.5);
    }
    words = pack_words(V::truncate(red[0], red[1]), V::truncate(green[0], green[1]), V::truncate(blue[0], blue[1]));
}

// N blocks of kWords words in lockstep, each step across all blocks before
// the next: one block's arithmetic is a single long chain of conversions,
// and the others' work beside it is what keeps the vector units busy. Lanes
// with a multiple among Y, U and V take those from the model, and lanes with
// a multiple among the channels their whole word.
// FromLuma: `luma` holds the words' samples and `lumaBits` their multiple
// bits (see luma_row), and Y is the sample plus a fraction except where a bit
// is set.
template <int N, bool FromLuma>
ORV_INLINE void yuv_of_blocks(const I (&w)[N], const I (&S)[N], const int16_t* luma, uint64_t lumaBits, I (&yi)[N],
                              I (&ui)[N], I (&vi)[N]) {
    const I bgMask = V::each128(kBlueGreen), rMask = V::each128(kRed);
    I least[N];
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        const I bg = V::shuffle8(w[k], bgMask), r0 = V::shuffle8(w[k], rMask);
        const I nu = V::madd_add(V::madd(bg, weights(436, -289)), r0, weights(-147, 0));
        const I nv = V::madd_add(V::madd(bg, weights(100, -515)), r0, weights(615, 0));
        least[k] = V::set32(-1);
        I floorY;
        if constexpr (FromLuma) {
            floorY = V::load_widened(luma + kWords * k);
        } else {
            const I ny = V::madd_add(V::madd(bg, weights(114, 587)), r0, weights(299, 0));
            floorY = quotient(ny, kInverse1000, 1000, least[k]);
        }
        // y - S truncated: floor(y) - S, one more where that is negative.
        const I m = V::sub32(floorY, S[k]);
        yi[k] = V::add32(m, V::shr32(m, 31));
        ui[k] = quotient(nu, kInverse1000, 1000, least[k]);
        vi[k] = quotient(nv, kInverse1000, 1000, least[k]);
    }
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        M multiple = V::eq32(least[k], V::zero());
        const uint32_t bits = static_cast<uint32_t>(lumaBits >> (kWords * k)) & ((1u << kWords) - 1);
        if (FromLuma && bits != 0) multiple = V::or_mask(multiple, V::from_bits(bits));
        if (V::any(multiple)) {
            const M rest = settle_greys(w[k], S[k], multiple, yi[k], ui[k], vi[k]);
            if (V::any(rest)) model_yuv(w[k], S[k], yi[k], ui[k], vi[k]);
        }
    }
}

// The blocks' words from their Y', U and V.
template <int N>
ORV_INLINE void words_of_blocks(const I (&yi)[N], const I (&ui)[N], const I (&vi)[N], I (&out)[N]) {
    I least[N], yu[N], v1[N], red[N], green[N], blue[N];
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        least[k] = V::set32(-1);
        const I y = V::min32(V::max32(yi[k], V::set32(-1000)), V::set32(1000));
        yu[k] = V::blend_odd16(y, V::shl32(ui[k], 16));
        v1[k] = V::blend_odd16(vi[k], V::set32(1 << 16));
    }
    auto channel = [&](int k, int16_t ky, int16_t ku, int16_t kv) {
        const I n = V::madd_add(V::madd(yu[k], weights(ky, ku)), v1[k], weights(kv, 5000));
        return quotient(n, kInverse10000, 10000, least[k]);
    };
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) red[k] = channel(k, 7720, -4633, 11400);
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) green[k] = channel(k, 11161, -1587, -5806);
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) blue[k] = channel(k, 10001, 20322, -5);
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        out[k] = pack_words(red[k], green[k], blue[k]);
        const M redo = V::eq32(least[k], V::zero());
        if (V::any(redo)) {
            I model;
            model_words(yi[k], ui[k], vi[k], model);
            out[k] = V::select(redo, out[k], model);
        }
    }
}

// The rebuild of N blocks: their Y', U and V, then their words.
template <int N, bool FromLuma>
ORV_INLINE void rebuild_blocks(const I (&w)[N], const I (&S)[N], I (&out)[N], const int16_t* luma,
                               uint64_t lumaBits) {
    I yi[N], ui[N], vi[N];
    yuv_of_blocks<N, FromLuma>(w, S, luma, lumaBits, yi, ui, vi);
    words_of_blocks<N>(yi, ui, vi, out);
}

// The show-noise picture of each word's change: per channel
// 127 + min(max(5*(in - out), -127), 128).
ORV_INLINE I noise_words(I in, I out) {
    const I m = V::set32(0xFF);
    auto channel = [&](int shift) {
        const I d = V::sub32(V::and_(V::shr32(in, shift), m), V::and_(V::shr32(out, shift), m));
        const I five = V::add32(V::shl32(d, 2), d);
        return V::add32(V::min32(V::max32(five, V::set32(-127)), V::set32(128)), V::set32(127));
    };
    return V::or_(V::or_(V::shl32(channel(16), 16), V::shl32(channel(8), 8)), channel(0));
}

// Words per rebuild step.
constexpr int kRebuildLanes = V::kBlocks * kWords;

// The last step's words and corrections, and what it wrote. Flat stretches
// (black bars, grey panels) repeat a step's inputs exactly, and those are
// where the model is needed most: its words are theirs. The luma rows and
// multiple bits follow from the words, so they need no comparing.
struct StepMemo {
    I w[V::kBlocks], s[V::kBlocks], out[V::kBlocks];
    bool valid = false;
};

// kRebuildLanes words from `words` and `S` to `output`, which may be `words`.
// `stream`: non-temporal stores, `output` aligned to the vectors' size.
template <bool ShowNoise, bool FromLuma>
ORV_INLINE void rebuild_step(const uint32_t* words, const int32_t* S, uint32_t* output, bool stream,
                             const int16_t* luma, const uint8_t* multiples, StepMemo& memo) {
    constexpr int N = V::kBlocks;
    I w[N], s[N];
    I diff = V::zero();
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        w[k] = V::load(words + kWords * k);
        s[k] = V::load(S + kWords * k);
        diff = V::or_(diff, V::or_(V::sub32(w[k], memo.w[k]), V::sub32(s[k], memo.s[k])));
    }
    if (!memo.valid || V::bits(V::eq32(diff, V::zero())) != (1u << kWords) - 1) {
        I out[N];
        uint64_t lumaBits = 0;
        if constexpr (FromLuma) std::memcpy(&lumaBits, multiples, kRebuildLanes / 8);
        rebuild_blocks<N, FromLuma>(w, s, out, luma, lumaBits);
#pragma GCC unroll 4
        for (int k = 0; k < N; ++k) {
            memo.w[k] = w[k], memo.s[k] = s[k];
            memo.out[k] = ShowNoise ? noise_words(w[k], out[k]) : out[k];
        }
        memo.valid = true;
    }
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        if (stream) V::stream(output + kWords * k, memo.out[k]);
        else V::store(output + kWords * k, memo.out[k]);
    }
}

// `count` words from `words` and `S` to `out`, which may be `words`: each
// step's words are read before any is written. The last, short step goes
// through zeroed buffers, as S past the last chunk holds nothing.
template <bool ShowNoise, bool FromLuma>
void rebuild_words(const uint32_t* words, const int32_t* S, int32_t count, uint32_t* out, bool stream,
                   const int16_t* luma, const uint8_t* multiples) {
    int32_t i = 0;
    StepMemo memo;
    for (; i + kRebuildLanes <= count; i += kRebuildLanes)
        rebuild_step<ShowNoise, FromLuma>(words + i, S + i, out + i, stream, FromLuma ? luma + i : nullptr,
                                          FromLuma ? multiples + i / 8 : nullptr, memo);
    if (i < count) {
        const int32_t n = count - i;
        uint32_t w[kRebuildLanes] = {}, o[kRebuildLanes];
        int32_t s[kRebuildLanes] = {};
        int16_t y[kRebuildLanes] = {};
        uint8_t bits[8] = {};
        std::memcpy(w, words + i, static_cast<size_t>(n) * 4);
        std::memcpy(s, S + i, static_cast<size_t>(n) * 4);
        if (FromLuma) {
            std::memcpy(y, luma + i, static_cast<size_t>(n) * sizeof(int16_t));
            std::memcpy(bits, multiples + i / 8, static_cast<size_t>(n + 7) / 8);
        }
        rebuild_step<ShowNoise, FromLuma>(w, s, o, false, y, bits, memo);
        std::memcpy(out + i, o, static_cast<size_t>(n) * 4);
    }
}

// --- luma -----------------------------------------------------------------

// The luma is n/1000 truncated, n = 587G + 299R + 114B < 2^18, which the
// float quotient gives exactly. Unless n is a multiple of 1000, n/1000 lies
// at least 0.001 from an integer, far beyond the rounding of the double
// model, so the model truncates to the same byte. At a multiple the model may
// land just below it: those lanes (pure greys among them) take the model's.
// Four blocks a step, in lockstep.
constexpr int kLumaLanes = 4 * kWords;

// The model's luma of a block's words, each product and sum its own
// instruction in the model's order, truncated.
__attribute__((noinline)) void model_luma(const I& w, I& y) {
    V::D part[2];
    const I m = V::set32(0xFF);
    for (int p = 0; p < 2; ++p) {
        const V::D r = V::to_double(V::and_(V::shr32(w, 16), m), p), g = V::to_double(V::and_(V::shr32(w, 8), m), p),
                   b = V::to_double(V::and_(w, m), p);
        part[p] = V::add(V::add(V::mul(g, 0.587), V::mul(r, 0.299)), V::mul(b, 0.114));
    }
    y = V::truncate(part[0], part[1]);
}

// The last step that met multiples: its words and what it gave. Flat
// stretches (black bars, grey panels) repeat a step's words exactly, and
// those are the steps with multiples to settle. Steps without any are cheap
// already, and leave the memo unused, so noise pays no comparing.
struct LumaMemo {
    I w[4]{}, y16[2]{};
    uint64_t bits = 0;
    bool valid = false;
};

// The luma of a step's four blocks, as 16-bit lanes, and their multiple bits.
ORV_INLINE uint64_t luma_of(const I (&w)[4], I (&y16)[2]) {
    const I bg = V::each128(kBlueGreen), r0 = V::each128(kRed);
    const I kBG = weights(114, 587), kR = weights(299, 0), minus1000 = weights(-1000, 0);
    I n[4], q[4];
    uint64_t bits = 0;  // lanes whose n is a multiple of 1000
#pragma GCC unroll 4
    for (int h = 0; h < 4; ++h) n[h] = V::madd_add(V::madd(V::shuffle8(w[h], bg), kBG), V::shuffle8(w[h], r0), kR);
#pragma GCC unroll 4
    for (int h = 0; h < 4; ++h) q[h] = V::quotient(n[h], kInverse1000);
#pragma GCC unroll 4
    for (int h = 0; h < 4; ++h) {
        const M multiple = V::eq32(V::madd_add(n[h], q[h], minus1000), V::zero());
        if (!V::any(multiple)) continue;
        bits |= static_cast<uint64_t>(V::bits(multiple)) << (kWords * h);
        // Every pure grey is a multiple; its luma is its level or one less.
        I g;
        const M grey = pure_grey(w[h], g);
        q[h] = V::select(grey, q[h], V::select(lacks(kWholeLumaGreys, g), g, V::sub32(g, V::set32(1))));
        const M rest = V::andnot_mask(grey, multiple);
        if (!V::any(rest)) continue;
        I model;
        model_luma(w[h], model);
        q[h] = V::select(rest, q[h], model);
    }
    y16[0] = V::narrow(q[0], q[1]);
    y16[1] = V::narrow(q[2], q[3]);
    return bits;
}

ORV_INLINE void luma_step(const uint32_t* words, uint8_t* plane, int16_t* wide, uint8_t* multiples, LumaMemo& memo) {
    I w[4];
#pragma GCC unroll 4
    for (int h = 0; h < 4; ++h) w[h] = V::load(words + kWords * h);
    bool repeat = false;
    if (memo.valid) {
        I diff = V::zero();
#pragma GCC unroll 4
        for (int h = 0; h < 4; ++h) diff = V::or_(diff, V::sub32(w[h], memo.w[h]));
        repeat = V::bits(V::eq32(diff, V::zero())) == (1u << kWords) - 1;
    }
    if (!repeat) {
        memo.bits = luma_of(w, memo.y16);
        memo.valid = memo.bits != 0;
#pragma GCC unroll 4
        for (int h = 0; h < 4; ++h) memo.w[h] = w[h];
    }
#pragma GCC unroll 2
    for (int half = 0; half < 2; ++half) {
        V::store_bytes(plane + 2 * kWords * half, memo.y16[half]);
        if (wide != nullptr) V::store(wide + 2 * kWords * half, memo.y16[half]);
    }
    if (multiples != nullptr) std::memcpy(multiples, &memo.bits, kLumaLanes / 8);
}

// --- denoise --------------------------------------------------------------

// kLanes samples at (row offset t in vertical steps, column offset dx) from
// the chunk's pixels, as 16-bit lanes, each already replaced by the centre
// where the reference's border rule says so.

// Every neighbour inside the frame: straight loads from the 16-bit rows.
struct InsideFetch {
    const int16_t* const* rows;  // rows[t + kReach] at the chunk's first column
    ORV_INLINE I at(int t, int dx) const { return V::load(rows[t + kReach] + dx); }
};

// Near an edge: the same loads, which reach into the lines' marked samples
// (kLinePad of them each side, and marked lines for rows outside the frame),
// and a marked lane takes the centre.
struct MarkedFetch {
    const int16_t* const* rows;
    I centre;
    ORV_INLINE I at(int t, int dx) const { return V::replace16(V::load(rows[t + kReach] + dx), kOutside, centre); }
};

// How a pass decides, chosen once per row from its settings: its threshold
//   Wrapping: thresholds that may wrap, 10*|R| > T with T = a2000 - k2000*E;
//   Tenth:    |R| > 200*(a - k*E), the threshold's factor from one
//             multiply-add on (E, 1) pairs against (-k, a), exact because a
//             and k fit 16 bits where nothing wraps;
//   Pair:     the same threshold whole from one multiply-add on (E, f) pairs
//             against (-200*k, 2000), where 200*k and f fit 16 bits (a = 10*f
//             there): the usual strengths;
// and its sharp: 0 .. kMaxShiftSharp with Pair, its product by shifts and
// adds, which keeps the single vector-multiply port of some processors free
// for the responses; else kAnySharp, by multiplication.
enum class Threshold { Wrapping, Tenth, Pair };
constexpr int kAnySharp = -1, kMaxShiftSharp = 6;

template <Threshold T, int Sharp>
struct Decision {
    static constexpr Threshold threshold = T;
    static constexpr int sharp = Sharp;
};

struct Consts {
    I k1_12, k1_34, k1_56, k2_12, k2_34, k2_56;
    I a1, k1, a2, k2, negSharp;
    I ka1, ka2;  // the threshold's pair weights, (-k, a) or (-200*k, 2000)
    I f1, f2;    // what E is paired with: 1, or f with Pair
    Consts(const PassConstants& pc, Threshold t)
        : k1_12(weights(4464, 2864)), k1_34(weights(608, -1788)), k1_56(weights(-3773, -4895)),
          k2_12(weights(2864, -1788)), k2_34(weights(-4895, -3773)), k2_56(weights(608, 4464)),
          a1(V::set32(pc.a1x2000)), k1(V::set32(pc.k1x2000)), a2(V::set32(pc.a2x2000)), k2(V::set32(pc.k2x2000)),
          negSharp(V::set32(pc.negSharp)),
          ka1(t == Threshold::Wrapping ? V::zero()
              : t == Threshold::Tenth  ? weights(-(pc.k1x200 / 200), pc.a1x200 / 200)
                                       : weights(-pc.k1x200, 2000)),
          ka2(t == Threshold::Wrapping ? V::zero()
              : t == Threshold::Tenth  ? weights(-(pc.k2x200 / 200), pc.a2x200 / 200)
                                       : weights(-pc.k2x200, 2000)),
          f1(V::set16(static_cast<int16_t>(t == Threshold::Pair ? pc.f1 : 1))),
          f2(V::set16(static_cast<int16_t>(t == Threshold::Pair ? pc.f2 : 1))) {}
};

// f(Decision<...>{}) for the pass's settings.
template <class F>
ORV_INLINE void with_decision(const PassConstants& pc, F&& f) {
    auto fits16 = [](int32_t x) { return x >= -32767 && x <= 32767; };
    if (pc.tenthThresholds == 0 || !fits16(pc.a1x200 / 200) || !fits16(pc.k1x200 / 200) ||
        !fits16(pc.a2x200 / 200) || !fits16(pc.k2x200 / 200))
        return f(Decision<Threshold::Wrapping, kAnySharp>{});
    if (!fits16(pc.f1) || !fits16(pc.f2) || !fits16(pc.k1x200) || !fits16(pc.k2x200))
        return f(Decision<Threshold::Tenth, kAnySharp>{});
    switch (pc.negSharp) {
        case 0: return f(Decision<Threshold::Pair, 0>{});
        case -1: return f(Decision<Threshold::Pair, 1>{});
        case -2: return f(Decision<Threshold::Pair, 2>{});
        case -3: return f(Decision<Threshold::Pair, 3>{});
        case -4: return f(Decision<Threshold::Pair, 4>{});
        case -5: return f(Decision<Threshold::Pair, 5>{});
        case -kMaxShiftSharp: return f(Decision<Threshold::Pair, 6>{});
        default: return f(Decision<Threshold::Pair, kAnySharp>{});
    }
}

// (-(sharp * R)) >> 5 for a known sharp, or by multiplication. Where sharp is
// known nothing wraps, so (-(2^m * R)) >> 5 is (-R) >> (5 - m).
template <int Sharp>
ORV_INLINE I structure_of(I R, const Consts& q) {
    const I zero = V::zero();
    if constexpr (Sharp == kAnySharp) return V::sar32(V::mul32(R, q.negSharp), 5);
    else if constexpr (Sharp == 0) return zero;
    else if constexpr (Sharp == 1) return V::sar32(V::sub32(zero, R), 5);
    else if constexpr (Sharp == 2) return V::sar32(V::sub32(zero, R), 4);
    else if constexpr (Sharp == 4) return V::sar32(V::sub32(zero, R), 3);
    else if constexpr (Sharp == 3) return V::sar32(V::sub32(R, V::shl32(R, 2)), 5);
    else if constexpr (Sharp == 5) return V::sar32(V::sub32(V::sub32(zero, R), V::shl32(R, 2)), 5);
    else return V::sar32(V::sub32(V::shl32(R, 1), V::shl32(R, 3)), 5);
}

// One response against its threshold: noise keeps R, structure gives
// (-sharp*R) >> 5. `E` holds the 16-bit E in the low half of each 32-bit
// lane and its pair (1, or f) in the high half; `a`, `k` and `ka` are that
// response's constants.
template <class D>
ORV_INLINE I respond(I R, I E, I a, I k, I ka, const Consts& q) {
    const I absR = V::abs32(R);
    I lhs, T;
    if constexpr (D::threshold == Threshold::Wrapping) {
        T = V::sub32(a, V::mul32(k, V::and_(E, V::set32(0xFFFF))));
        lhs = V::mul32(absR, V::set32(10));
    } else if constexpr (D::threshold == Threshold::Tenth) {
        const I t = V::madd(E, ka);  // a - k*E
        T = V::add32(V::add32(V::shl32(t, 7), V::shl32(t, 6)), V::shl32(t, 3));
        lhs = absR;
    } else {
        T = V::madd(E, ka);  // 200*(a - k*E)
        lhs = absR;
    }
    return V::select(V::gt32(lhs, T), R, structure_of<D::sharp>(R, q));
}

// Rows and columns of the minus-side neighbour at distance 1, per direction:
// horizontal, vertical, falling diagonal, rising diagonal.
constexpr int kDirRow[4] = {0, -1, -1, -1};
constexpr int kDirCol[4] = {-1, 0, -1, 1};

// The corrections S of kLanes pixels, stored in pixel order.
template <class D, class Fetch>
ORV_INLINE void corrections_chunk(const Fetch& f, I c, const Consts& q, int32_t* S) {
    const I zero = V::zero(), c5041 = V::set32(5041);
    const I centreLo = V::madd(V::unpacklo16(c, zero), c5041), centreHi = V::madd(V::unpackhi16(c, zero), c5041);
    I sumLo = zero, sumHi = zero;
#pragma GCC unroll 4
    for (int dir = 0; dir < 4; ++dir) {
        I P[kReach + 1];
#pragma GCC unroll 6
        for (int d = 1; d <= kReach; ++d)
            P[d] = V::add16(f.at(kDirRow[dir] * d, kDirCol[dir] * d), f.at(-kDirRow[dir] * d, -kDirCol[dir] * d));
        // E1 = |x + y|, E2 = |x - y| with x = P1 - P4, y = (P2 + P3) - (P5 + P6).
        const I x = V::sub16(P[1], P[4]);
        const I y = V::sub16(V::add16(P[2], P[3]), V::add16(P[5], P[6]));
        const I e1 = V::abs16(V::add16(x, y)), e2 = V::abs16(V::sub16(x, y));
        const I p12Lo = V::unpacklo16(P[1], P[2]), p12Hi = V::unpackhi16(P[1], P[2]);
        const I p34Lo = V::unpacklo16(P[3], P[4]), p34Hi = V::unpackhi16(P[3], P[4]);
        const I p56Lo = V::unpacklo16(P[5], P[6]), p56Hi = V::unpackhi16(P[5], P[6]);
        auto response = [&](I centre, I p12, I p34, I p56, I k12, I k34, I k56) {
            return V::madd_add(V::madd_add(V::madd_add(centre, p12, k12), p34, k34), p56, k56);
        };
        const I r1Lo = response(centreLo, p12Lo, p34Lo, p56Lo, q.k1_12, q.k1_34, q.k1_56);
        const I r1Hi = response(centreHi, p12Hi, p34Hi, p56Hi, q.k1_12, q.k1_34, q.k1_56);
        const I r2Lo = response(centreLo, p12Lo, p34Lo, p56Lo, q.k2_12, q.k2_34, q.k2_56);
        const I r2Hi = response(centreHi, p12Hi, p34Hi, p56Hi, q.k2_12, q.k2_34, q.k2_56);
        sumLo = V::add32(sumLo, respond<D>(r1Lo, V::unpacklo16(e1, q.f1), q.a1, q.k1, q.ka1, q));
        sumHi = V::add32(sumHi, respond<D>(r1Hi, V::unpackhi16(e1, q.f1), q.a1, q.k1, q.ka1, q));
        sumLo = V::add32(sumLo, respond<D>(r2Lo, V::unpacklo16(e2, q.f2), q.a2, q.k2, q.ka2, q));
        sumHi = V::add32(sumHi, respond<D>(r2Hi, V::unpackhi16(e2, q.f2), q.a2, q.k2, q.ka2, q));
    }
    V::store_unpacked(S, V::sar32(sumLo, 16), V::sar32(sumHi, 16));
}

// The row goes in segments: first the corrections of a segment, then its
// colour rebuild, so that each loop keeps its own constants in registers.
constexpr int32_t kSegment = 256;

// The corrections of columns s0 .. end - 1 (at most a segment) into S[0 ..],
// written in whole chunks: S has room for a segment.
template <class D>
void corrections_segment(const RowJob& job, const Consts& q, bool rowsInside, int32_t s0, int32_t end, int32_t* S) {
    for (int32_t i0 = s0; i0 < end; i0 += kLanes) {
        const int16_t* at[kLineCount];
        for (int t = 0; t < kLineCount; ++t) at[t] = job.lines[t] + i0;
        // Lanes past the row's end have a marked centre; their corrections
        // are never used.
        if (rowsInside && i0 >= kReach && i0 + kLanes + kReach <= job.width) {
            const InsideFetch f{at};
            corrections_chunk<D>(f, f.at(0, 0), q, S + (i0 - s0));
        } else {
            const MarkedFetch f{at, V::load(at[kReach])};
            corrections_chunk<D>(f, f.centre, q, S + (i0 - s0));
        }
    }
}

// Whether every line within reach is a row of the frame.
bool rows_inside(const RowJob& job) {
    const int32_t s = job.pc.step;
    return job.row >= kReach * s && job.row + kReach * s < job.height;
}

template <class D>
void corrections_row(const RowJob& job, int32_t* out) {
    const Consts q(job.pc, D::threshold);
    const bool inside = rows_inside(job);
    int32_t S[kSegment];
    for (int32_t s0 = 0; s0 < job.width; s0 += kSegment) {
        const int32_t end = job.width - s0 < kSegment ? job.width : s0 + kSegment;
        corrections_segment<D>(job, q, inside, s0, end, S);
        std::memcpy(out + s0, S, static_cast<size_t>(end - s0) * sizeof(int32_t));
    }
}

template <bool ShowNoise, class D>
void denoise_row(const RowJob& job) {
    const int32_t w = job.width;
    if (w <= 0) return;
    const Consts q(job.pc, D::threshold);
    const bool inside = rows_inside(job);
    int32_t S[kSegment];
    // Steps start a multiple of the vector size apart, so the row's alignment is every step's.
    const bool stream = job.pc.streamOutput != 0 && (reinterpret_cast<uintptr_t>(job.output) & (sizeof(I) - 1)) == 0;
    for (int32_t s0 = 0; s0 < w; s0 += kSegment) {
        const int32_t end = w - s0 < kSegment ? w : s0 + kSegment;
        corrections_segment<D>(job, q, inside, s0, end, S);
        if (job.multiples != nullptr)
            rebuild_words<ShowNoise, true>(job.source + s0, S, end - s0, job.output + s0, stream,
                                           job.lines[kReach] + s0, job.multiples + s0 / 8);
        else
            rebuild_words<ShowNoise, false>(job.source + s0, S, end - s0, job.output + s0, stream, nullptr, nullptr);
    }
    // Non-temporal stores are weakly ordered: the row is complete, to any
    // reader on any core, once the caller has it back.
    if (stream) _mm_sfence();
}

}  // namespace

ORV_DECL_LUMA_ROW(ORV_SIMD(luma_row)) {
    int32_t i = 0;
    LumaMemo memo;
    for (; i + kLumaLanes <= count; i += kLumaLanes)
        luma_step(source + i, plane + i, wide != nullptr ? wide + i : nullptr,
                  multiples != nullptr ? multiples + i / 8 : nullptr, memo);
    if (i < count) {
        const int32_t rest = count - i;
        uint32_t words[kLumaLanes] = {};
        uint8_t bytes[kLumaLanes], bits[kLumaLanes / 8];
        int16_t samples[kLumaLanes];
        std::memcpy(words, source + i, static_cast<size_t>(rest) * 4);
        luma_step(words, bytes, samples, bits, memo);
        std::memcpy(plane + i, bytes, static_cast<size_t>(rest));
        if (wide != nullptr) std::memcpy(wide + i, samples, static_cast<size_t>(rest) * sizeof(int16_t));
        if (multiples != nullptr) {
            // The zeroed words past the end are multiples too; their bits stay clear.
            if (rest % 8 != 0) bits[rest / 8] &= static_cast<uint8_t>((1u << (rest % 8)) - 1);
            std::memcpy(multiples + i / 8, bits, static_cast<size_t>(rest + 7) / 8);
        }
    }
}

ORV_DECL_DENOISE_ROW(ORV_SIMD(denoise_row)) {
    with_decision(job.pc, [&](auto d) {
        if (job.pc.showNoise != 0) denoise_row<true, decltype(d)>(job);
        else denoise_row<false, decltype(d)>(job);
    });
}

ORV_DECL_CORRECTIONS_ROW(ORV_SIMD(corrections_row)) {
    with_decision(job.pc, [&](auto d) { corrections_row<decltype(d)>(job, S); });
}

ORV_DECL_REBUILD_ROW(ORV_SIMD(rebuild_row)) {
    const bool fromLuma = luma != nullptr && multiples != nullptr;
    if (showNoise != 0) {
        if (fromLuma) rebuild_words<true, true>(words, S, count, out, false, luma, multiples);
        else rebuild_words<true, false>(words, S, count, out, false, nullptr, nullptr);
    } else {
        if (fromLuma) rebuild_words<false, true>(words, S, count, out, false, luma, multiples);
        else rebuild_words<false, false>(words, S, count, out, false, nullptr, nullptr);
    }
}

}  // namespace orv::kernels
