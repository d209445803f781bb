// Dialog template 1000 as the system reads it from the built module: loaded
// through the resource API and taken apart field by field.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/resource.h"
#include "test_support/module_fixture.h"

namespace orv::test {
namespace {

// A name-or-ordinal field: an atom/ordinal after 0xFFFF, or a string.
struct NameOrOrdinal {
    bool isOrdinal = false;
    uint16_t ordinal = 0;
    std::u16string name;
    bool operator==(const NameOrOrdinal&) const = default;
};

NameOrOrdinal ordinal(uint16_t v) { return {true, v, {}}; }
NameOrOrdinal named(const char16_t* s) { return {false, 0, s}; }
const NameOrOrdinal kNone = named(u"");
const NameOrOrdinal kButton = ordinal(0x0080);
const NameOrOrdinal kStatic = ordinal(0x0082);
const NameOrOrdinal kTrackbar = named(u"msctls_trackbar32");

std::string show(const NameOrOrdinal& n) {
    if (n.isOrdinal) return std::string(1, '#').append(std::to_string(n.ordinal));
    std::string s(1, '"');
    for (char16_t c : n.name) s.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    s.push_back('"');
    return s;
}

struct Item {
    uint32_t helpId, exStyle, style;
    int16_t x, y, cx, cy;
    uint32_t id;
    NameOrOrdinal windowClass, title;
    uint16_t extraCount;
};

struct Template {
    uint16_t version, signature;
    uint32_t helpId, exStyle, style;
    uint16_t itemCount;
    int16_t x, y, cx, cy;
    NameOrOrdinal menu, windowClass, title;
    uint16_t pointSize, weight;
    uint8_t italic, charset;
    std::u16string typeface;
    std::vector<Item> items;
};

class Reader {
public:
    Reader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
    template <class T>
    T get() {
        need(sizeof(T));
        T v;
        std::memcpy(&v, p_ + at_, sizeof(T));
        at_ += sizeof(T);
        return v;
    }
    std::u16string string() {
        std::u16string s;
        for (char16_t c; (c = get<char16_t>()) != 0;) s += c;
        return s;
    }
    NameOrOrdinal name_or_ordinal() {
        need(2);
        uint16_t first;
        std::memcpy(&first, p_ + at_, 2);
        if (first == 0xFFFF) {
            at_ += 2;
            return ordinal(get<uint16_t>());
        }
        return {false, 0, string()};
    }
    void align4() { at_ = (at_ + 3) & ~size_t{3}; }
    void skip(size_t n) { need(n), at_ += n; }
    size_t left() const { return n_ - at_; }

private:
    void need(size_t k) const {
        if (at_ + k > n_) throw std::runtime_error("template ends early");
    }
    const uint8_t* p_;
    size_t n_;
    size_t at_ = 0;
};

Template parse(const uint8_t* p, size_t n) {
    Reader r(p, n);
    Template t{};
    t.version = r.get<uint16_t>();
    t.signature = r.get<uint16_t>();
    t.helpId = r.get<uint32_t>();
    t.exStyle = r.get<uint32_t>();
    t.style = r.get<uint32_t>();
    t.itemCount = r.get<uint16_t>();
    t.x = r.get<int16_t>();
    t.y = r.get<int16_t>();
    t.cx = r.get<int16_t>();
    t.cy = r.get<int16_t>();
    t.menu = r.name_or_ordinal();
    t.windowClass = r.name_or_ordinal();
    t.title = r.name_or_ordinal();
    if (t.style & (DS_SETFONT | DS_SHELLFONT)) {
        t.pointSize = r.get<uint16_t>();
        t.weight = r.get<uint16_t>();
        t.italic = r.get<uint8_t>();
        t.charset = r.get<uint8_t>();
        t.typeface = r.string();
    }
    for (uint16_t i = 0; i < t.itemCount; ++i) {
        r.align4();
        Item it{};
        it.helpId = r.get<uint32_t>();
        it.exStyle = r.get<uint32_t>();
        it.style = r.get<uint32_t>();
        it.x = r.get<int16_t>();
        it.y = r.get<int16_t>();
        it.cx = r.get<int16_t>();
        it.cy = r.get<int16_t>();
        it.id = r.get<uint32_t>();
        it.windowClass = r.name_or_ordinal();
        it.title = r.name_or_ordinal();
        it.extraCount = r.get<uint16_t>();
        r.skip(it.extraCount);
        t.items.push_back(it);
    }
    return t;
}

// The module file opened as the resource API sees it, without running it.
struct ModuleResources {
    HMODULE module = nullptr;
    ModuleResources() {
        module = LoadLibraryExA(loadable_path(module_path()).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~ModuleResources() {
        if (module != nullptr) FreeLibrary(module);
    }
};

constexpr WORD kEnglishUS = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

Template load_template() {
    ModuleResources res;
    if (res.module == nullptr) throw std::runtime_error("can't open the module file");
    HRSRC found = FindResourceExA(res.module, MAKEINTRESOURCEA(5) /* RT_DIALOG */, MAKEINTRESOURCEA(IDD_ORV_CONFIG),
                                  kEnglishUS);
    if (found == nullptr) throw std::runtime_error("no dialog 1000 in English (United States)");
    HGLOBAL loaded = LoadResource(res.module, found);
    const auto* p = static_cast<const uint8_t*>(LockResource(loaded));
    const DWORD size = SizeofResource(res.module, found);
    if (p == nullptr || size == 0) throw std::runtime_error("dialog 1000 can't be loaded");
    return parse(p, size);
}

BOOL CALLBACK collect_language(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR out) {
    reinterpret_cast<std::vector<WORD>*>(out)->push_back(language);
    return TRUE;
}

TEST(DialogTemplate, IsTheOnlyDialogAndIsInEnglishUS) {
    ModuleResources res;
    ASSERT_NE(res.module, nullptr);
    std::vector<WORD> languages;
    EnumResourceLanguagesA(res.module, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(IDD_ORV_CONFIG), &collect_language,
                           reinterpret_cast<LONG_PTR>(&languages));
    EXPECT_EQ(languages, std::vector<WORD>{kEnglishUS});
}

TEST(DialogTemplate, HeaderAsLaidOut) {
    const Template t = load_template();
    EXPECT_EQ(t.version, 1);  // the extended form
    EXPECT_EQ(t.signature, 0xFFFF);
    EXPECT_EQ(t.helpId, 0u);
    EXPECT_EQ(t.exStyle, 0u);
    // Exactly these: no WS_POPUP, no DS_MODALFRAME, nothing a compiler adds.
    EXPECT_EQ(t.style, static_cast<uint32_t>(WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_SETFONT));
    EXPECT_EQ(t.style, 0x10CC0040u);
    EXPECT_EQ(t.x, 6);
    EXPECT_EQ(t.y, 5);
    EXPECT_EQ(t.cx, 194);
    EXPECT_EQ(t.cy, 188);
    EXPECT_EQ(t.menu, kNone);
    EXPECT_EQ(t.windowClass, kNone);  // the system's dialog class
    EXPECT_EQ(t.title, named(u"ORV"));
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.weight, FW_NORMAL);
    EXPECT_EQ(t.italic, 0);
    EXPECT_EQ(t.charset, DEFAULT_CHARSET);
    EXPECT_EQ(t.typeface, u"MS Sans Serif");
    EXPECT_EQ(t.itemCount, 20);
}

constexpr uint32_t kChild = WS_CHILD | WS_VISIBLE;
constexpr uint32_t kTrackbarStyle = kChild | TBS_TOOLTIPS | TBS_TOP | TBS_AUTOTICKS | TBS_HORZ;
constexpr uint32_t kGroupBox = kChild | BS_GROUPBOX;
constexpr uint32_t kPushButton = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr uint32_t kCheckBox = kChild | BS_AUTOCHECKBOX | WS_TABSTOP;

struct ExpectedItem {
    uint32_t id;
    NameOrOrdinal windowClass;
    NameOrOrdinal title;
    uint32_t style;
    uint32_t group;  // the group box it lies in; 0: none (the bottom row)
};

// The controls in template order, which is also their tab order. Where each
// one sits is checked as layout (inside the dialog, inside its box, apart
// from the others), not as the .rc's coordinates over again.
const ExpectedItem kItems[] = {
    {1001, kTrackbar, kNone, kTrackbarStyle, 1002},
    {1002, kButton, named(u"Frequency"), kGroupBox, 0},
    {1003, kButton, kNone, kGroupBox, 0},
    {1004, kButton, named(u"Show preview"), kPushButton, 0},
    {1005, kButton, named(u"Ok"), kPushButton, 0},
    {1006, kButton, named(u"Cancel"), kPushButton, 0},
    {1007, kButton, named(u"Show noise"), kCheckBox, 1003},
    {1008, kButton, named(u"Disable"), kCheckBox, 1003},
    {1020, kButton, named(u"Auto profile"), kCheckBox, 1003},
    {1009, kStatic, named(u"Level  f1"), kChild | SS_LEFT, 1002},
    {1010, kButton, named(u"Multithreading"), kCheckBox, 1012},
    {1011, kStatic, named(u"1"), kChild | SS_CENTER | SS_CENTERIMAGE, 1012},
    {1012, kButton, kNone, kGroupBox, 0},
    {1013, kStatic, named(u"Threads  - "), kChild | SS_LEFT, 1012},
    {1014, kTrackbar, kNone, kTrackbarStyle, 1002},
    {1015, kButton, kNone, kGroupBox, 0},
    {1016, kTrackbar, kNone, kTrackbarStyle, 1015},
    {1017, kButton, named(u"Interlace"), kCheckBox, 1003},
    {1018, kStatic, named(u"Sharp"), kChild | SS_LEFT, 1015},
    {1019, kStatic, named(u"Level  f2"), kChild | SS_LEFT, 1002},
};

bool inside(const Item& a, int bx, int by, int bcx, int bcy) {
    return a.x >= bx && a.y >= by && a.x + a.cx <= bx + bcx && a.y + a.cy <= by + bcy;
}

bool overlap(const Item& a, const Item& b) {
    return a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
}

TEST(DialogTemplate, ControlsInTemplateOrder) {
    static_assert(kTrackbarStyle == 0x50000105u && kCheckBox == 0x50010003u && kPushButton == 0x50010000u &&
                  kGroupBox == 0x50000007u);
    const Template t = load_template();
    ASSERT_EQ(t.items.size(), std::size(kItems));
    auto byId = [&](uint32_t id) -> const Item& {
        for (const Item& it : t.items)
            if (it.id == id) return it;
        throw std::runtime_error("no control " + std::to_string(id));
    };
    for (size_t i = 0; i < t.items.size(); ++i) {
        const Item& got = t.items[i];
        const ExpectedItem& want = kItems[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1) + " (" + std::to_string(want.id) + ")");
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.windowClass, want.windowClass) << show(got.windowClass);
        EXPECT_EQ(got.title, want.title) << show(got.title);
        EXPECT_EQ(got.style, want.style) << std::hex << got.style;
        EXPECT_EQ(got.helpId, 0u);
        EXPECT_EQ(got.exStyle, 0u);
        EXPECT_EQ(got.extraCount, 0);
        EXPECT_TRUE(got.cx > 0 && got.cy > 0 && inside(got, 0, 0, t.cx, t.cy)) << "on the dialog";
        if (want.style == kGroupBox) continue;
        for (const ExpectedItem& box : kItems) {
            if (box.style != kGroupBox) continue;
            const Item& b = byId(box.id);
            EXPECT_EQ(inside(got, b.x, b.y, b.cx, b.cy), box.id == want.group) << "in box " << box.id;
        }
        for (size_t j = 0; j < i; ++j)
            EXPECT_TRUE(kItems[j].style == kGroupBox || !overlap(got, t.items[j])) << "over " << kItems[j].id;
    }
}

}  // namespace
}  // namespace orv::test
