#include "cli/input/input.h"

namespace orv::cli {

const InputKind& input_pick(const Options& o) { return o.input == "-" ? kRawInput : kLibavInput; }

bool input_open(Input& in, const Options& o, std::vector<std::string>& notes, std::string& error) {
    in.kind = &input_pick(o);
    if (!in.kind->open(in, o, notes, error)) return false;
    const int64_t pixels = static_cast<int64_t>(in.shape.width) * in.shape.height;
    if (in.shape.width > 32768 || in.shape.height > 32768 || pixels > (int64_t{1} << 28))
        return (error = "frame size " + std::to_string(in.shape.width) + "x" + std::to_string(in.shape.height) +
                        " doesn't fit the filter",
                false);
    if (o.width != 0 && (o.width != in.shape.width || o.height != in.shape.height))
        return (error = "--size " + std::to_string(o.width) + "x" + std::to_string(o.height) + " doesn't fit the input's " +
                        std::to_string(in.shape.width) + "x" + std::to_string(in.shape.height) + " frames",
                false);
    return true;
}

}  // namespace orv::cli
