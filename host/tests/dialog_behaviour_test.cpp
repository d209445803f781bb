// The configuration dialog in a real dialog manager: opened through the
// module's configProc, driven with clicks, trackbar notifications and keys,
// and checked against the instance's fields and the host's preview.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>
#include <vector>

#include "core/settings.h"
#include "host/resource.h"
#include "host/tests/dialog_session.h"
#include "test_support/module_fixture.h"

namespace orv::test {
namespace {

// What the user can see or set of an instance.
struct UserSettings {
    int f1, f2, sharp, interlace, multithreading, disable, showNoise, autoProfile, threadCount;
    bool operator==(const UserSettings&) const = default;
};

std::ostream& operator<<(std::ostream& os, const UserSettings& s) {
    return os << "{f1 " << s.f1 << ", f2 " << s.f2 << ", sharp " << s.sharp << ", interlace " << s.interlace
              << ", multithreading " << s.multithreading << ", disable " << s.disable << ", showNoise "
              << s.showNoise << ", autoProfile " << s.autoProfile << ", threadCount " << s.threadCount << "}";
}

UserSettings user_settings(const FilterInstance& fi) {
    return {fi.f1,      fi.f2,        fi.sharp,      fi.interlace,  fi.multithreading,
            fi.disable, fi.showNoise, fi.autoProfile, fi.threadCount};
}

void set_user_settings(FilterInstance& fi, const UserSettings& s) {
    fi.f1 = s.f1;
    fi.f2 = s.f2;
    fi.sharp = s.sharp;
    fi.interlace = s.interlace;
    fi.multithreading = s.multithreading;
    fi.disable = s.disable;
    fi.showNoise = s.showNoise;
    fi.autoProfile = s.autoProfile;
    fi.threadCount = s.threadCount;
}

struct TrackbarField {
    int id;
    int32_t FilterInstance::*field;
    int maximum;
    const char* name;
};

const TrackbarField kTrackbars[] = {
    {IDC_F1_TRACKBAR, &FilterInstance::f1, 100, "f1"},
    {IDC_F2_TRACKBAR, &FilterInstance::f2, 100, "f2"},
    {IDC_SHARP_TRACKBAR, &FilterInstance::sharp, 6, "sharp"},
};

struct CheckBoxField {
    int id;
    int32_t FilterInstance::*field;
    const char* name;
};

const CheckBoxField kCheckBoxes[] = {
    {IDC_SHOW_NOISE, &FilterInstance::showNoise, "Show noise"},
    {IDC_DISABLE, &FilterInstance::disable, "Disable"},
    {IDC_INTERLACE, &FilterInstance::interlace, "Interlace"},
    {IDC_MULTITHREADING, &FilterInstance::multithreading, "Multithreading"},
    {IDC_AUTO_PROFILE, &FilterInstance::autoProfile, "Auto profile"},
};

class DialogTest : public testing::Test {
protected:
    RegisteredModule m;
    HostInstance in{m.host};
    RecordingPreview preview;

    void SetUp() override {
        ASSERT_EQ(in.init(), 0);
        // The defaults of a 12-processor machine, whatever this one has.
        init_instance(fi(), 12);
    }
    FilterInstance& fi() { return in.fields(); }
    DialogRun run(std::vector<Step> steps, IFilterPreview* p) {
        const size_t n = steps.size();
        DialogRun r = run_dialog(m.host, in, p, std::move(steps));
        expect_completed(r, n);
        return r;
    }
    DialogRun run(std::vector<Step> steps) { return run(std::move(steps), &preview); }
    // The preview calls since the dialog opened (InitButton excluded).
    std::vector<PreviewCall> calls_after_opening() const {
        if (preview.calls.empty()) return {};
        return {preview.calls.begin() + 1, preview.calls.end()};
    }
};

const PreviewCall kRedraw{PreviewCall::RedoFrame, nullptr};

// ---- opening

TEST_F(DialogTest, OpensShowingTheInstance) {
    const UserSettings cases[] = {
        {70, 70, 2, 0, 1, 0, 0, 1, 4},      // a new instance on a 12-processor machine
        {100, 0, 6, 1, 1, 1, 1, 0, 2},      // every switch on but profiling
        {0, 100, 0, 0, 0, 0, 0, 0, 3},      // every switch off
        {33, 66, 3, 2, 7, 0, 1, 1, 4},      // a script's nonzero values other than 1
    };
    for (const UserSettings& s : cases) {
        SCOPED_TRACE(testing::PrintToString(s));
        preview.calls.clear();
        set_user_settings(fi(), s);
        run({
            act([&](Dialog& d) {
                for (const auto& t : kTrackbars) {
                    EXPECT_EQ(d.range_min(t.id), 0) << t.name;
                    EXPECT_EQ(d.range_max(t.id), t.maximum) << t.name;
                    EXPECT_EQ(d.position(t.id), fi().*t.field) << t.name;
                }
                for (const auto& c : kCheckBoxes) EXPECT_EQ(d.checked(c.id), fi().*c.field != 0) << c.name;
                EXPECT_EQ(d.text(IDC_THREAD_COUNT), std::to_string(s.threadCount));
                EXPECT_TRUE(d.enabled(IDC_MULTITHREADING));
                // The preview button is handed to the host and nothing is
                // redrawn yet; the focus is on the first tab stop.
                EXPECT_EQ(preview.calls, (std::vector<PreviewCall>{{PreviewCall::InitButton, d.item(IDC_SHOW_PREVIEW)}}));
                EXPECT_EQ(GetFocus(), d.item(IDC_SHOW_PREVIEW));
            }),
            act([](Dialog& d) { d.click(IDC_CANCEL); }),
        });
        EXPECT_EQ(user_settings(fi()), s);
        EXPECT_EQ(fi().savedF1, s.f1);
        EXPECT_EQ(fi().savedF2, s.f2);
        EXPECT_EQ(fi().savedSharp, s.sharp);
        EXPECT_EQ(fi().savedInterlace, s.interlace);
        EXPECT_EQ(fi().savedMultithreading, s.multithreading);
        EXPECT_EQ(fi().savedAutoProfile, s.autoProfile);
        EXPECT_EQ(fi().preview, &preview);
    }
}

// A threadCount of 1 greys the switch out but still shows what a script set.
TEST_F(DialogTest, ThreadCountAndTheMultithreadingSwitch) {
    const struct {
        int processors;        // init as on a machine with this many
        int scriptedSwitch;    // -1: as init left it
        const char* shown;
        bool enabled, checked;
    } cases[] = {
        {1, -1, "1", false, false},
        {1, 1, "1", false, true},
        {2, -1, "2", true, true},
        {4, 0, "4", true, false},
        {12, -1, "4", true, true},
        {64, -1, "4", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.processors) + " processors");
        init_instance(fi(), c.processors);
        if (c.scriptedSwitch >= 0) in.config(fi().f1, fi().f2, fi().sharp, fi().interlace, c.scriptedSwitch);
        const UserSettings before = user_settings(fi());
        run({
            act([&](Dialog& d) {
                EXPECT_EQ(d.text(IDC_THREAD_COUNT), c.shown);
                EXPECT_EQ(d.enabled(IDC_MULTITHREADING), c.enabled);
                EXPECT_EQ(d.checked(IDC_MULTITHREADING), c.checked);
            }),
            act([](Dialog& d) { d.click(IDC_OK); }),
        });
        EXPECT_EQ(user_settings(fi()), before);
    }
}

// ---- editing

TEST_F(DialogTest, EachCheckBoxClickWritesItsFieldAndRedrawsOnce) {
    for (const auto& c : kCheckBoxes) {
        SCOPED_TRACE(c.name);
        init_instance(fi(), 12);
        preview.calls.clear();
        const int32_t was = fi().*c.field;
        UserSettings others = user_settings(fi());
        run({
            act([&](Dialog& d) {
                d.click(c.id);
                EXPECT_EQ(d.checked(c.id), was == 0);
                EXPECT_EQ(fi().*c.field, was == 0 ? 1 : 0);
                EXPECT_EQ(calls_after_opening(), std::vector<PreviewCall>{kRedraw});
                d.click(c.id);
                EXPECT_EQ(fi().*c.field, was);
                EXPECT_EQ(calls_after_opening(), (std::vector<PreviewCall>{kRedraw, kRedraw}));
                EXPECT_EQ(user_settings(fi()), others);
            }),
            act([](Dialog& d) { d.click(IDC_CANCEL); }),
        });
    }
}

// The preview follows the thumb: every notification, each step of a drag and
// its end included, writes the field and redraws.
TEST_F(DialogTest, EachTrackbarNotificationWritesItsFieldAndRedrawsOnce) {
    const int codes[] = {TB_THUMBPOSITION, TB_LINEDOWN, TB_PAGEUP,     TB_BOTTOM,
                         TB_THUMBTRACK,    TB_THUMBTRACK, TB_THUMBTRACK, TB_ENDTRACK};
    for (const auto& t : kTrackbars) {
        SCOPED_TRACE(t.name);
        preview.calls.clear();
        run({
            act([&](Dialog& d) {
                int redraws = 0;
                for (int code : codes) {
                    const int pos = (code * 7 + 3 + redraws) % (t.maximum + 1);
                    d.set_position(t.id, pos);
                    d.scroll(t.id, code);
                    EXPECT_EQ(fi().*t.field, pos) << "code " << code;
                    EXPECT_EQ(preview.redraws(), ++redraws) << "code " << code;
                }
                // A silent move is not a change: only the notification writes.
                const int32_t kept = fi().*t.field;
                d.set_position(t.id, kept == 0 ? 1 : 0);
                EXPECT_EQ(fi().*t.field, kept);
            }),
            act([](Dialog& d) { d.click(IDC_CANCEL); }),
        });
        EXPECT_EQ(preview.count(PreviewCall::Other), 0);
    }
}

// A scroll message whose window is none of the three trackbars changes nothing.
TEST_F(DialogTest, ScrollFromAnotherWindowIsIgnored) {
    const UserSettings before = user_settings(fi());
    run({
        act([&](Dialog& d) {
            for (HWND sender : {HWND{nullptr}, d.item(IDC_SHOW_PREVIEW), d.window()}) {
                SendMessageA(d.window(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 5),
                             reinterpret_cast<LPARAM>(sender));
            }
            EXPECT_EQ(user_settings(fi()), before);
            EXPECT_EQ(calls_after_opening(), std::vector<PreviewCall>{});
        }),
        act([](Dialog& d) { d.click(IDC_CANCEL); }),
    });
}

// The trackbars' own notifications, from keys and from the mouse dragging the
// thumb: one redraw for each, and the field where the thumb stopped.
TEST_F(DialogTest, TrackbarsOwnNotificationsRedrawEachTime) {
    const DialogRun r = run({
        act([&](Dialog& d) {
            for (int i = 0; i < 3; ++i) d.key(IDC_F1_TRACKBAR, VK_RIGHT);
            d.key(IDC_SHARP_TRACKBAR, VK_END);
            d.key(IDC_F2_TRACKBAR, VK_HOME);
        }),
        act([&](Dialog& d) {
            EXPECT_EQ(fi().f1, 73);
            EXPECT_EQ(fi().sharp, 6);
            EXPECT_EQ(fi().f2, 0);
            EXPECT_EQ(d.position(IDC_F1_TRACKBAR), 73);
            // Each key sends a move and an end of the move.
            EXPECT_GE(preview.redraws(), 5);
            EXPECT_EQ(preview.redraws(), static_cast<int>(preview.calls.size()) - 1);
        }),
        act([&](Dialog& d) {
            HWND bar = d.item(IDC_F1_TRACKBAR);
            RECT thumb{};
            SendMessageA(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
            const int x = (thumb.left + thumb.right) / 2;
            const int y = (thumb.top + thumb.bottom) / 2;
            SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
            for (int dx = 8; dx <= 48; dx += 8) SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x - dx, y));
            SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(x - 48, y));
        }),
        act([&](Dialog& d) {
            EXPECT_LT(fi().f1, 73);
            EXPECT_EQ(fi().f1, d.position(IDC_F1_TRACKBAR));
            EXPECT_GT(preview.redraws(), 5 + 3);
        }),
        act([](Dialog& d) { d.click(IDC_OK); }),
    });
    // Not one notification without its redraw, not one redraw without its
    // notification.
    EXPECT_EQ(preview.redraws(), r.scrolls());
}

TEST_F(DialogTest, ShowPreviewTogglesThenRedraws) {
    run({
        act([&](Dialog& d) {
            d.click(IDC_SHOW_PREVIEW);
            const PreviewCall toggle{PreviewCall::Toggle, d.window()};
            EXPECT_EQ(calls_after_opening(), (std::vector<PreviewCall>{toggle, kRedraw}));
            d.click(IDC_SHOW_PREVIEW);
            EXPECT_EQ(calls_after_opening(), (std::vector<PreviewCall>{toggle, kRedraw, toggle, kRedraw}));
        }),
        act([](Dialog& d) { d.click(IDC_CANCEL); }),
    });
}

// ---- ending

TEST_F(DialogTest, OkWritesTheFiveValuesFromTheControls) {
    fi().multithreading = 1;
    run({
        act([&](Dialog& d) {
            // The controls changed behind the dialog's back, so that only Ok
            // can carry them into the instance.
            d.set_position(IDC_F1_TRACKBAR, 10);
            d.set_position(IDC_F2_TRACKBAR, 20);
            d.set_position(IDC_SHARP_TRACKBAR, 5);
            d.set_checked(IDC_SHOW_NOISE, true);
            d.set_checked(IDC_AUTO_PROFILE, false);
            d.set_checked(IDC_INTERLACE, true);
            d.set_checked(IDC_MULTITHREADING, false);
            d.set_checked(IDC_DISABLE, true);
            d.click(IDC_OK);
        }),
    });
    // The five; interlace, multithreading and disable are written by their
    // clicks alone.
    EXPECT_EQ(user_settings(fi()), (UserSettings{10, 20, 5, 0, 1, 0, 1, 0, 4}));
    EXPECT_EQ(calls_after_opening(), std::vector<PreviewCall>{});
}

TEST_F(DialogTest, CancelRestoresTheSixAndKeepsDisableAndShowNoise) {
    const UserSettings before = user_settings(fi());
    const DialogRun r = run({
        act([&](Dialog& d) {
            for (const auto& c : kCheckBoxes) d.click(c.id);
            for (const auto& t : kTrackbars) {
                d.set_position(t.id, t.maximum - fi().*t.field / 2);
                d.scroll(t.id, TB_THUMBPOSITION);
            }
            EXPECT_EQ(user_settings(fi()), (UserSettings{65, 65, 5, 1, 0, 1, 1, 0, 4}));
            EXPECT_EQ(preview.redraws(), 8);
            d.click(IDC_CANCEL);
        }),
    });
    UserSettings expected = before;
    expected.disable = 1;
    expected.showNoise = 1;
    EXPECT_EQ(user_settings(fi()), expected);
    EXPECT_EQ(preview.redraws(), 8);  // none for Cancel
    EXPECT_EQ(r.result, 1);  // cancelled: a filter being added is taken out again
}

// Only "Ok" and "Cancel" end the dialog: Escape and the title bar's close box
// send the system's cancel command, which the dialog doesn't know.
TEST_F(DialogTest, EscapeAndTheCloseBoxDoNothing) {
    const UserSettings before = user_settings(fi());
    const DialogRun r = run({
        act([&](Dialog& d) { d.post_key(VK_ESCAPE); }),
        act([&](Dialog& d) { EXPECT_TRUE(d.open()); }),
        act([&](Dialog& d) { SendMessageA(d.window(), WM_SYSCOMMAND, SC_CLOSE, 0); }),
        act([&](Dialog& d) {
            EXPECT_TRUE(d.open());
            EXPECT_EQ(user_settings(fi()), before);
            EXPECT_EQ(calls_after_opening(), std::vector<PreviewCall>{});
            d.click(IDC_CANCEL);
        }),
    });
    // The keys and the close box did reach the dialog as the system's
    // commands: the test is not passing for want of them.
    EXPECT_GE(r.commands(IDCANCEL), 2);
}

// Script values outside the ranges: shown at the nearer end, stored as that
// end by Ok, back as the script had them after Cancel.
TEST_F(DialogTest, ScriptValuesOutsideTheRanges) {
    const struct {
        int f1, f2, sharp;
        int shownF1, shownF2, shownSharp;
    } cases[] = {
        {-5, 300, 9, 0, 100, 6},
        {101, -1, -1, 100, 0, 0},
        {INT_MIN, INT_MAX, 7, 0, 100, 6},
    };
    for (const auto& c : cases) {
        for (int button : {IDC_OK, IDC_CANCEL}) {
            SCOPED_TRACE(std::to_string(c.f1) + "," + std::to_string(c.f2) + "," + std::to_string(c.sharp) +
                         (button == IDC_OK ? " Ok" : " Cancel"));
            ASSERT_TRUE(in.config(c.f1, c.f2, c.sharp, 2, 7));
            const DialogRun r = run({act([&](Dialog& d) {
                EXPECT_EQ(d.position(IDC_F1_TRACKBAR), c.shownF1);
                EXPECT_EQ(d.position(IDC_F2_TRACKBAR), c.shownF2);
                EXPECT_EQ(d.position(IDC_SHARP_TRACKBAR), c.shownSharp);
                EXPECT_TRUE(d.checked(IDC_INTERLACE));
                EXPECT_TRUE(d.checked(IDC_MULTITHREADING));
                d.click(button);
            })});
            EXPECT_EQ(r.result, button == IDC_OK ? 0 : 1);
            EXPECT_EQ(r.commands(button), 1);
            if (button == IDC_OK) {
                EXPECT_EQ(fi().f1, c.shownF1);
                EXPECT_EQ(fi().f2, c.shownF2);
                EXPECT_EQ(fi().sharp, c.shownSharp);
            } else {
                EXPECT_EQ(fi().f1, c.f1);
                EXPECT_EQ(fi().f2, c.f2);
                EXPECT_EQ(fi().sharp, c.sharp);
            }
            EXPECT_EQ(fi().interlace, 2);
            EXPECT_EQ(fi().multithreading, 7);
        }
    }
}

TEST_F(DialogTest, OkAtOnceChangesNothingWithinTheRanges) {
    const UserSettings cases[] = {
        {70, 70, 2, 0, 1, 0, 0, 1, 4},
        {0, 100, 6, 1, 0, 1, 1, 0, 1},
        {100, 0, 0, 0, 1, 0, 1, 1, 3},
    };
    for (const UserSettings& s : cases) {
        SCOPED_TRACE(testing::PrintToString(s));
        set_user_settings(fi(), s);
        run({act([](Dialog& d) { d.click(IDC_OK); })});
        EXPECT_EQ(user_settings(fi()), s);
    }
}

// ---- hosts that don't give what the dialog would like

// Without a preview interface the dialog works the same, with nothing to
// redraw.
TEST_F(DialogTest, WorksWithoutAPreviewInterface) {
    fi().showNoise = 0;
    const DialogRun r = run(
        {
            act([&](Dialog& d) {
                d.click(IDC_SHOW_PREVIEW);
                for (const auto& c : kCheckBoxes) d.click(c.id);
                d.set_position(IDC_F1_TRACKBAR, 12);
                d.scroll(IDC_F1_TRACKBAR, TB_THUMBTRACK);
                d.set_position(IDC_SHARP_TRACKBAR, 4);
                d.scroll(IDC_SHARP_TRACKBAR, TB_ENDTRACK);
                EXPECT_EQ(user_settings(fi()), (UserSettings{12, 70, 4, 1, 0, 1, 1, 0, 4}));
                d.set_position(IDC_F2_TRACKBAR, 50);
                d.click(IDC_OK);
            }),
        },
        nullptr);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(user_settings(fi()), (UserSettings{12, 50, 4, 1, 0, 1, 1, 0, 4}));
    EXPECT_EQ(fi().preview, nullptr);
}

// A parent window that the system refuses: no dialog, the host told so, the
// settings as they were.
TEST_F(DialogTest, RefusedParentWindow) {
    const UserSettings before = user_settings(fi());
    const DialogRun r =
        run_dialog(m.host, in, &preview, {act([](Dialog& d) { d.click(IDC_OK); })}, reinterpret_cast<HWND>(0x7E570));
    EXPECT_EQ(r.result, 1);
    EXPECT_FALSE(r.opened);
    EXPECT_EQ(user_settings(fi()), before);
    EXPECT_TRUE(preview.calls.empty());
}

// A dialog the system can't create (here: the host never registered the
// trackbar class) is not accepted: the host is told cancelled.
TEST_F(DialogTest, ADialogThatCantBeCreatedIsNotAccepted) {
    HINSTANCE comctl = GetModuleHandleA("comctl32.dll");
    WNDCLASSEXA trackbar{};
    trackbar.cbSize = sizeof trackbar;
    ASSERT_TRUE(GetClassInfoExA(comctl, TRACKBAR_CLASSA, &trackbar));
    ASSERT_TRUE(UnregisterClassA(TRACKBAR_CLASSA, comctl));
    const UserSettings before = user_settings(fi());
    const DialogRun r = run_dialog(m.host, in, &preview, {act([](Dialog& d) { d.click(IDC_OK); })});
    trackbar.lpszClassName = TRACKBAR_CLASSA;
    ASSERT_NE(RegisterClassExA(&trackbar), 0);
    EXPECT_EQ(r.result, 1);
    EXPECT_FALSE(r.opened);
    EXPECT_EQ(user_settings(fi()), before);
}

// ---- the harness itself: a dialog that doesn't end must not hang the run

TEST_F(DialogTest, ADialogLeftOpenIsEndedByForce) {
    const struct {
        std::vector<Step> steps;
        bool timedOut;
    } cases[] = {
        {{act([](Dialog&) {})}, false},               // last step done, dialog still open
        {{[](Dialog&) { return false; }}, true},      // a step that never finishes
    };
    for (const auto& c : cases) {
        const DialogRun r = run_dialog(m.host, in, &preview, c.steps, nullptr, std::chrono::seconds(2));
        EXPECT_TRUE(r.opened);
        EXPECT_TRUE(r.forcedEnd);
        EXPECT_EQ(r.timedOut, c.timedOut);
        EXPECT_FALSE(IsWindow(r.dialog));
    }
}

}  // namespace
}  // namespace orv::test
