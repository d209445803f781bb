#include "cli/video_io.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

extern char** environ;

namespace orv::cli {

namespace {

// posix_spawnp with one pipe end wired to the child's stdin (mode "w") or
// stdout (mode "r"); the child's stderr goes to `errFile` when given. No
// shell is involved, so file names are never interpreted.
bool spawn(const std::vector<std::string>& args, const char* mode, Child& child, int errFd = -1) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    const bool reading = mode[0] == 'r';
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, reading ? fds[1] : fds[0], reading ? 1 : 0);
    if (errFd >= 0) posix_spawn_file_actions_adddup2(&fa, errFd, 2);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    const int rc = posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    close(reading ? fds[1] : fds[0]);
    if (rc != 0) {
        close(reading ? fds[0] : fds[1]);
        return false;
    }
    child.pid = pid;
    child.pipe = fdopen(reading ? fds[0] : fds[1], mode);
    return child.pipe != nullptr;
}

std::string capture(const std::vector<std::string>& args, bool& ok) {
    Child c;
    ok = false;
    const int devnull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (!spawn(args, "r", c, devnull)) {
        if (devnull >= 0) close(devnull);
        return {};
    }
    if (devnull >= 0) close(devnull);
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, c.pipe)) > 0) out.append(buf, n);
    ok = finish_child(c);
    return out;
}

}  // namespace

bool program_exists(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream ss(path != nullptr ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(ss, dir, ':'))
        if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0) return true;
    return false;
}

bool probe_video(const std::string& path, VideoInfo& info, std::string& error) {
    bool ok;
    const std::string out = capture({"ffprobe", "-v", "error", "-select_streams", "v:0", "-count_packets",
                                     "-show_entries", "stream=width,height,r_frame_rate,nb_read_packets", "-of",
                                     "default=noprint_wrappers=1", "--", path},
                                    ok);
    if (!ok) {
        error = "cannot read " + path + " as a video";
        return false;
    }
    std::stringstream ss(out);
    std::string line;
    while (std::getline(ss, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), val = line.substr(eq + 1);
        if (key == "width") info.width = std::atoi(val.c_str());
        if (key == "height") info.height = std::atoi(val.c_str());
        if (key == "r_frame_rate" && val != "0/0") info.frameRate = val;
        if (key == "nb_read_packets") info.frames = std::atoll(val.c_str());
    }
    if (info.width <= 0 || info.height <= 0) {
        error = path + " has no video stream";
        return false;
    }
    return true;
}

bool start_decoder(const std::string& path, Child& child, std::string& error) {
    if (!spawn({"ffmpeg", "-nostdin", "-v", "error", "-i", path, "-map", "0:v:0", "-f", "rawvideo", "-pix_fmt",
                "bgr0", "-"},
               "r", child)) {
        error = "cannot start ffmpeg";
        return false;
    }
    return true;
}

bool start_encoder(const std::string& path, const VideoInfo& info, const std::vector<std::string>& extra,
                   Child& child, std::string& error) {
    std::vector<std::string> args{"ffmpeg", "-v",  "error", "-y", "-f", "rawvideo", "-pix_fmt", "bgr0", "-s",
                                  std::to_string(info.width) + "x" + std::to_string(info.height),
                                  "-r", info.frameRate, "-i", "pipe:0"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(path);
    if (!spawn(args, "w", child)) {
        error = "cannot start ffmpeg";
        return false;
    }
    return true;
}

bool finish_child(Child& child) {
    if (child.pipe != nullptr) fclose(child.pipe);
    child.pipe = nullptr;
    if (child.pid < 0) return false;
    int status = 0;
    while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
    }
    child.pid = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool read_block(FILE* f, void* buf, size_t n, bool& partial) {
    partial = false;
    const size_t got = fread(buf, 1, n, f);
    if (got == n) return true;
    partial = got != 0;
    return false;
}

bool write_block(FILE* f, const void* buf, size_t n) { return fwrite(buf, 1, n, f) == n; }

}  // namespace orv::cli
