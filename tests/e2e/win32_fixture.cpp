// SPDX-License-Identifier: MIT
// The Win32 end-to-end fixture: the program's Xvfb, the hooked window class, the message loop.
#include "win32_fixture.h"

#include <algorithm>
#include <chrono>

namespace vexil::e2e {

namespace {

constexpr char kClassName[] = "VexilEndToEnd";

// One server for the whole test program, started before the first test: USER keeps a thread's
// connection for the thread's life, so the server must outlive every test of the main thread.
class XvfbEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(m_server.start()) << m_server.error(); }
    void TearDown() override {}

private:
    XvfbServer m_server;
};

[[maybe_unused]] ::testing::Environment* const g_environment = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

} // namespace

Hook Win32Test::s_hook;

LRESULT CALLBACK Win32Test::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    LRESULT result = 0;
    if (s_hook && s_hook(window, message, wparam, lparam, &result)) {
        return result;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

void Win32Test::SetUp()
{
    WNDCLASSEXA description = {};
    description.cbSize = sizeof description;
    description.lpfnWndProc = procedure;
    description.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    description.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    description.lpszClassName = kClassName;
    if (!RegisterClassExA(&description)) {
        ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    }
    user::start_message_log();
}

void Win32Test::TearDown()
{
    for (HWND window : m_windows) {
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
    }
    pump_for(20);
    s_hook = nullptr;
    user::stop_message_log();
}

HWND Win32Test::make_window(const char* title, int width, int height, DWORD style, int left, int top)
{
    const int caption = (style & WS_CAPTION) == WS_CAPTION ? GetSystemMetrics(SM_CYCAPTION) : 0;
    const int frame_x = GetSystemMetrics(SM_CXFIXEDFRAME);
    const int frame_y = GetSystemMetrics(SM_CYFIXEDFRAME);
    HWND window = CreateWindowExA(0, kClassName, title, style, left, top, width + 2 * frame_x,
                                  height + caption + 2 * frame_y, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(window, nullptr) << "error " << GetLastError();
    if (window) {
        m_windows.push_back(window);
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        // Mapped: its first paint has come (an expose asks for one), and the tools find it.
        EXPECT_TRUE(pump_until([&] { return !xid_of(title).empty(); }));
        pump_for(50);
    }
    return window;
}

bool Win32Test::pump_until(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    MSG message;
    while (true) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        Sleep(2);
    }
}

void Win32Test::pump_for(int milliseconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    pump_until([&] { return std::chrono::steady_clock::now() >= deadline; });
}

std::vector<user::LoggedMessage> Win32Test::received(HWND window, std::initializer_list<UINT> kinds)
{
    std::vector<user::LoggedMessage> wanted;
    for (const user::LoggedMessage& message : user::take_logged_messages(window)) {
        if (std::find(kinds.begin(), kinds.end(), message.message) != kinds.end()) {
            wanted.push_back(message);
        }
    }
    return wanted;
}

std::string Win32Test::xid_of(const char* title)
{
    const uint32_t id = find_window_by_title(title);
    return id == 0 ? std::string() : std::to_string(id);
}

} // namespace vexil::e2e
