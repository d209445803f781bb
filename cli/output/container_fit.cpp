#include "cli/output/container_fit.h"

#include <initializer_list>

namespace orv::cli {

namespace {

// The muxer's own verdict: its header written to memory with one stream.
bool trial_header(const AVOutputFormat* of, const AVCodecParameters* par, AVRational rate) {
    AVFormatContext* fmt = nullptr;
    if (avformat_alloc_output_context2(&fmt, of, nullptr, nullptr) < 0) return false;
    bool ok = false;
    AVStream* st = avformat_new_stream(fmt, nullptr);
    if (st != nullptr && avcodec_parameters_copy(st->codecpar, par) >= 0) {
        st->codecpar->codec_tag = 0;
        st->time_base = rate.num > 0 && rate.den > 0 ? av_inv_q(rate)
                        : par->sample_rate > 0     ? AVRational{1, par->sample_rate}
                                                   : AVRational{1, 1000};
        if ((of->flags & AVFMT_NOFILE) == 0 && avio_open_dyn_buf(&fmt->pb) < 0) fmt->pb = nullptr;
        ok = ((of->flags & AVFMT_NOFILE) != 0 || fmt->pb != nullptr) && avformat_write_header(fmt, nullptr) >= 0;
    }
    if (fmt->pb != nullptr) {
        uint8_t* bytes = nullptr;
        avio_close_dyn_buf(fmt->pb, &bytes);
        av_free(bytes);
        fmt->pb = nullptr;
    }
    avformat_free_context(fmt);
    return ok;
}

}  // namespace

bool container_holds(const AVOutputFormat* of, const AVCodecParameters* par, AVRational rate) {
    if (avformat_query_codec(of, par->codec_id, FF_COMPLIANCE_NORMAL) == 1) return true;
    // Matroska lists only its native codecs, but writes any other through
    // its compatibility tags; muxers without a list say nothing at all.
    if (avformat_query_codec(of, par->codec_id, FF_COMPLIANCE_UNOFFICIAL) == 0) return false;
    return trial_header(of, par, rate);
}

const AVCodec* preferred_encoder(AVCodecID id) {
    const struct {
        AVCodecID id;
        const char* name;
    } preferred[] = {
        {AV_CODEC_ID_AV1, "libsvtav1"},
        // prores_aw widens 10-bit alpha to ProRes' 16 bits without the low
        // ones, so 4444 alpha read back differs; prores_ks gives it back.
        {AV_CODEC_ID_PRORES, "prores_ks"},
    };
    for (const auto& p : preferred)
        if (p.id == id)
            if (const AVCodec* c = avcodec_find_encoder_by_name(p.name)) return c;
    return avcodec_find_encoder(id);
}

AVRational encoder_time_base(const AVCodec* c, AVRational timeBase, AVRational& rate) {
    if (c->supported_framerates != nullptr) {
        rate = c->supported_framerates[av_find_nearest_q_idx(rate, c->supported_framerates)];
        return av_inv_q(rate);
    }
    bool sixteenBit = false;
    for (AVCodecID id : {AV_CODEC_ID_MPEG4, AV_CODEC_ID_H263, AV_CODEC_ID_H263P, AV_CODEC_ID_MSMPEG4V2,
                         AV_CODEC_ID_MSMPEG4V3, AV_CODEC_ID_WMV1, AV_CODEC_ID_WMV2, AV_CODEC_ID_FLV1})
        sixteenBit = sixteenBit || c->id == id;
    if (c->id == AV_CODEC_ID_THEORA || (sixteenBit && timeBase.den > 65535)) {
        AVRational r;
        av_reduce(&r.num, &r.den, rate.num, rate.den, 65535);
        rate = r;
        return av_inv_q(r);
    }
    return timeBase;
}

}  // namespace orv::cli
