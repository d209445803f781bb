// Frames in and out through the ffmpeg and ffprobe programs, as 32-bit XRGB
// raw video (ffmpeg's bgr0: blue, green, red, pad in memory order).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/types.h>
#include <vector>

namespace orv::cli {

struct VideoInfo {
    int32_t width = 0;
    int32_t height = 0;
    std::string frameRate = "25";  // as ffprobe gives it, e.g. "30000/1001"
    int64_t frames = -1;           // -1 when unknown
};

// A child process with one end of a pipe: we read its stdout or write its stdin.
struct Child {
    pid_t pid = -1;
    FILE* pipe = nullptr;
};

bool program_exists(const std::string& name);

// Runs ffprobe on a file. False with `error` when it isn't a readable video.
bool probe_video(const std::string& path, VideoInfo& info, std::string& error);

// Starts ffmpeg decoding `path` to raw frames on its stdout.
bool start_decoder(const std::string& path, Child& child, std::string& error);

// Starts ffmpeg encoding raw frames from its stdin into `path`; `extra` are
// further output options, inserted before the path.
bool start_encoder(const std::string& path, const VideoInfo& info, const std::vector<std::string>& extra,
                   Child& child, std::string& error);

// Closes the pipe and waits; true when the child exited with status 0.
bool finish_child(Child& child);

// Reads exactly n bytes; false at a clean end of input before any byte.
// `partial` is set when the input ended inside the block.
bool read_block(FILE* f, void* buf, size_t n, bool& partial);
bool write_block(FILE* f, const void* buf, size_t n);

}  // namespace orv::cli
