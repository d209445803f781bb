#include "cli/output/output.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace orv::cli {

const OutputKind& output_pick(const Options& o) { return o.output == "-" ? kRawOutput : kLibavOutput; }

bool output_keeps_alpha(const Output& out, AVPixelFormat inputFormat) {
    const AVPixFmtDescriptor* in = av_pix_fmt_desc_get(inputFormat);
    const AVPixFmtDescriptor* od = av_pix_fmt_desc_get(out.pixelFormat);
    return in != nullptr && od != nullptr && (in->flags & AV_PIX_FMT_FLAG_ALPHA) != 0 && (od->flags & AV_PIX_FMT_FLAG_ALPHA) != 0;
}

}  // namespace orv::cli
