// A picture of the open dialog, taken from the virtual screen it is shown on.
// The test host can't reach the X server itself: it asks the script that
// runs it (run_under_xvfb.sh) through files in the screenshot folder, and
// keeps the dialog open, pumping messages, until the picture is taken.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "core/settings.h"
#include "host/resource.h"
#include "host/tests/dialog_session.h"
#include "test_support/module_fixture.h"

namespace orv::test {
namespace {

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string read_all(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

TEST(DialogScreenshot, OfTheOpenDialog) {
    const char* dir = std::getenv("ORV_SCREENSHOT_DIR");
    if (dir == nullptr || *dir == '\0') GTEST_SKIP() << "not run on a virtual screen (run_under_xvfb.sh)";
    const std::string base = loadable_path(std::string(dir) + "/dialog");
    const std::string request = base + ".request", done = base + ".done", failed = base + ".failed";
    const std::string picture = base + ".png";
    for (const auto& f : {request, done, failed, picture}) DeleteFileA(f.c_str());

    RegisteredModule m;
    HostInstance in(m.host);
    ASSERT_EQ(in.init(), 0);
    init_instance(in.fields(), 12);
    RecordingPreview preview;
    int settleTicks = 0;
    const std::vector<Step> steps = {
        // Let the dialog and its controls paint and reach the screen.
        [&](Dialog& d) {
            if (settleTicks++ == 0) RedrawWindow(d.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            return settleTicks > 25;
        },
        act([&](Dialog& d) {
            RECT r{};
            GetWindowRect(d.window(), &r);
            const std::string tmp = request + ".tmp";
            {
                std::ofstream f(tmp, std::ios::binary);
                f << r.left << ' ' << r.top << ' ' << (r.right - r.left) << ' ' << (r.bottom - r.top) << '\n';
            }
            ASSERT_TRUE(MoveFileExA(tmp.c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING));
        }),
        [&](Dialog&) {
            if (exists(failed)) ADD_FAILURE() << "the screenshot failed: " << read_all(failed);
            return exists(done) || exists(failed);
        },
        act([](Dialog& d) { d.click(IDC_CANCEL); }),
    };
    const DialogRun r = run_dialog(m.host, in, &preview, steps, nullptr, std::chrono::seconds(60));
    expect_completed(r, steps.size());
    const std::string png = read_all(picture);
    ASSERT_GT(png.size(), 8u) << picture;
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

}  // namespace
}  // namespace orv::test
