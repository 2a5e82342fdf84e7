// A template store for the registry tests, built with the template writer, and
// a recorder that binds every handler number of it.
#pragma once

#include "forms/registry/window_registry.h"
#include "forms/template/template_types.h"

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace qr::forms::testing {

// Main test window: caption "测试窗口", stored 50, 50, 300 x 200.
inline constexpr std::uint32_t kMain = 0x52010001;
inline constexpr std::uint32_t kMainRecord = 0x06010000;
inline constexpr std::uint32_t kMenuFile = 0x26010010;     // level 0 "文件", shown
inline constexpr std::uint32_t kMenuOpen = 0x26010011;     //   level 1 "打开"
inline constexpr std::uint32_t kMenuQuit = 0x26010012;     //   level 1 "退出"
inline constexpr std::uint32_t kMenuTray = 0x26010013;     // level 0 "系统开关", hidden
inline constexpr std::uint32_t kMenuTrayShow = 0x26010014; //   level 1 "显示"
inline constexpr std::uint32_t kMenuTrayEnd = 0x26010015;  //   level 1 "结束"
inline constexpr std::uint32_t kButton = 0x16010020;       // 按钮_确定 at 10, 120, 80 x 30
inline constexpr std::uint32_t kEdit = 0x16010021;         // 编辑框_姓名 at 10, 10, 120 x 25, "小苹果"
inline constexpr std::uint32_t kGroup = 0x16010022;        // 分组框1 at 150, 10, 140 x 100
inline constexpr std::uint32_t kInner = 0x16010023;        // 编辑框_内, inside 分组框1 at 5, 5, 60 x 25

// Second window: caption "第二窗口", 200 x 150, one button.
inline constexpr std::uint32_t kSecond = 0x52010002;
inline constexpr std::uint32_t kSecondRecord = 0x06010001;
inline constexpr std::uint32_t kSecondButton = 0x16010030; // 按钮_返回

// A window whose picture box cannot be created.
inline constexpr std::uint32_t kBroken = 0x52010003;
// A window whose only menu is hidden; group box stored hidden.
inline constexpr std::uint32_t kHiddenMenu = 0x52010004;
inline constexpr std::uint32_t kHiddenGroup = 0x16010040;
inline constexpr std::uint32_t kHiddenGroupMember = 0x16010041;

// Handler numbers bound in the store.
namespace h {
inline constexpr int kWindowEvent = 100; // + window event number (0 .. 12) of kMain
inline constexpr int kWindowInput = 200; // + 100 + common event number (-1 .. -12) of kMain: 188 .. 199
inline constexpr int kButtonInput = 300; // + 100 + common event number, button
inline constexpr int kEditInput = 400;   // + 100 + common event number, edit box
inline constexpr int kButtonClick = 500;
inline constexpr int kMenuOpen = 501;
inline constexpr int kMenuQuit = 502;
inline constexpr int kTrayShow = 503;
inline constexpr int kTrayEnd = 504;
inline constexpr int kSecondClick = 510;
inline constexpr int kSecondLoaded = 511;
} // namespace h

TemplateStore testStore();
std::vector<std::uint8_t> testStoreBytes();

struct Call {
    int handler = 0;
    Event event;
};

// Binds every handler number of the test store to a recording function.
class Recorder {
public:
    Recorder();
    ~Recorder();
    std::vector<Call> calls;
    std::map<int, runtime::Value> answers;        // result per handler number
    std::map<int, std::function<void()>> actions; // run inside the handler
    std::vector<int> handlersCalled() const;
    std::vector<std::int32_t> eventsOf(std::uint32_t componentId) const;
    const Call* last(int handler) const;
    int count(int handler) const;
};

} // namespace qr::forms::testing
