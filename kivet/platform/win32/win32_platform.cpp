// The Win32 backend: the graphics window (a menu bar above a client area
// that shows the window's own copy of the bitmap), the text window, the
// timer and the modal dialog. Every window message becomes a message posted
// to the library's queue; the library decides what it means.
//
// The graphics window's client area is the core's CLIENT_WIDTH x
// CLIENT_HEIGHT. The process is per-monitor DPI aware: on a scaled screen
// each of those pixels is a block of k x k screen pixels (k the whole scale
// nearest to the screen's that lets the window fit the screen, at least 1),
// sharp, and clicks are mapped back to the library's pixels.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "kivet/platform/platform.h"
#include "kivet/platform/win32/clock_timer.h"
#include "kivet/platform/win32/endings.h"
#include "kivet/platform/win32/key_codes.h"
#include "kivet/platform/win32/text_pane.h"
#include "kivet/platform/win32/wide_text.h"
#include "kivet/platform/win32/win32_dialog.h"
#include "kivet/platform/win32/win32_menu.h"
#include "kivet/platform/win32/window_copy.h"
#include "kivet/platform/win32/windows_api.h"

namespace kivet::win32 {
namespace {

// Window messages handled per non-blocking pass, so a busy window system
// cannot hold the library's loop.
constexpr int MESSAGES_PER_PASS = 64;

// The graphics window's frame timer; the library's timers have small numbers.
constexpr UINT_PTR FRAME_TIMER = 0x4B465254;
// The shortest time between two looks at the queue that do not wait.
constexpr int64_t LOOK_INTERVAL_US = 5000;
// Frames a second when the screen does not say its refresh rate.
constexpr int DEFAULT_REFRESH_HZ = 60;

constexpr const wchar_t* GRAPHICS_CLASS = L"DrawWndClass";
constexpr const wchar_t* TEXT_CLASS = L"TextWndClass";
constexpr DWORD GRAPHICS_STYLE = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD TEXT_STYLE = WS_OVERLAPPEDWINDOW;

// Functions of newer Windows versions, looked up at run time.
template <typename Function>
Function user32_function(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

void become_dpi_aware() {
  using SetContext = BOOL(WINAPI*)(HANDLE);
  auto per_monitor = user32_function<SetContext>("SetProcessDpiAwarenessContext");
  const HANDLE PER_MONITOR_AWARE_V2 = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4));
  if (per_monitor && per_monitor(PER_MONITOR_AWARE_V2)) return;
  SetProcessDPIAware();
}

int window_dpi(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static auto get_dpi = user32_function<GetDpiForWindowFunction>("GetDpiForWindow");
  if (get_dpi && window) return static_cast<int>(get_dpi(window));
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// The outer size of a window whose client area is `width` x `height`.
SIZE outer_size(HWND window, int width, int height) {
  using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static auto adjust_for_dpi = user32_function<AdjustForDpi>("AdjustWindowRectExForDpi");
  RECT r{0, 0, width, height};
  DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  DWORD ex_style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  BOOL menu = GetMenu(window) != nullptr;
  if (adjust_for_dpi) {
    adjust_for_dpi(&r, style, menu, ex_style, static_cast<UINT>(window_dpi(window)));
  } else {
    AdjustWindowRectEx(&r, style, menu, ex_style);
  }
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// Gives the window a client area of exactly `width` x `height`, at `place`
// when one is given. A menu bar that wraps is only known once the size is
// set, so the size is checked and corrected once.
void fit_client(HWND window, int width, int height, const POINT* place = nullptr) {
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (place ? 0 : SWP_NOMOVE);
  SIZE outer = outer_size(window, width, height);
  int x = place ? place->x : 0, y = place ? place->y : 0;
  SetWindowPos(window, nullptr, x, y, outer.cx, outer.cy, flags);
  RECT client{};
  GetClientRect(window, &client);
  int more_x = width - client.right, more_y = height - client.bottom;
  if (more_x != 0 || more_y != 0) {
    SetWindowPos(window, nullptr, 0, 0, outer.cx + more_x, outer.cy + more_y,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  }
}

// The whole scale nearest to the screen's resolution `dpi` (150% gives 1,
// 175% gives 2), as large as lets the graphics window with a client area of
// `client` blocks fit its screen, and at least 1.
int scale_for(HWND window, int dpi, Size client) {
  int scale = std::max(1, (dpi + 47) / 96);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return scale;
  int screen_width = monitor.rcMonitor.right - monitor.rcMonitor.left;
  int screen_height = monitor.rcMonitor.bottom - monitor.rcMonitor.top;
  for (; scale > 1; --scale) {
    SIZE outer = outer_size(window, client.width * scale, client.height * scale);
    if (outer.cx <= screen_width && outer.cy <= screen_height) break;
  }
  return scale;
}

// No window can be opened (no desktop, as in a service or a remote shell, or
// no display for Wine): one line that says what to do.
[[noreturn]] void report_no_display(DWORD error) {
  std::fprintf(stderr, "kivet: cannot open a window (%s): %s\n", error_text(error).c_str(),
               NO_DISPLAY_ADVICE);
  std::exit(EXIT_NO_DISPLAY);
}

struct Window {
  HWND handle = nullptr;
  Size client;    // in the library's pixels
  int scale = 1;  // screen pixels per library pixel
};

class Win32Platform : public Platform {
 public:
  Win32Platform() {
    become_dpi_aware();
    register_classes();
    watch_outside_endings();
  }

  Size screen_size() override {
    return Size{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }

  void create_window(WindowId id, const WindowSetup& setup) override {
    if (windows_[id].handle) destroy_window(id);
    windows_[id] = Window{};
    bool graphics = id == WindowId::graphics;
    if (graphics && !copy_.create()) report_no_display(GetLastError());
    DWORD style = graphics ? GRAPHICS_STYLE : TEXT_STYLE;
    std::wstring title = shown_wide(setup.title, ControlCharacters::replace);
    // The handle is known from WM_NCCREATE on, so the create message that
    // the library handles during WM_CREATE can set the menu.
    HWND handle = CreateWindowExW(0, graphics ? GRAPHICS_CLASS : TEXT_CLASS, title.c_str(), style,
                                  setup.x, setup.y, setup.width, setup.height, nullptr, nullptr,
                                  GetModuleHandleW(nullptr),
                                  reinterpret_cast<void*>(static_cast<intptr_t>(id)));
    if (!handle) report_no_display(GetLastError());
    Window& w = windows_[id];
    if (graphics) {
      w.client = Size{CLIENT_WIDTH, CLIENT_HEIGHT};
      w.scale = scale_for(handle, window_dpi(handle), w.client);
      fit_client(handle, w.client.width * w.scale, w.client.height * w.scale);
    } else {
      text_.attach(handle);
    }
  }

  void destroy_window(WindowId id) override {
    if (windows_[id].handle) DestroyWindow(windows_[id].handle);
  }

  bool show_window(WindowId id, bool show) override {
    HWND handle = windows_[id].handle;
    if (!handle) return false;
    bool was_visible = IsWindowVisible(handle) != FALSE;
    ShowWindow(handle, show ? SW_SHOW : SW_HIDE);
    // The library reads the client size right after showing, and its first
    // picture must not wait for the queue to empty.
    if (show) UpdateWindow(handle);
    return was_visible;
  }

  Size client_size(WindowId id) override {
    const Window& w = windows_[id];
    if (!w.handle) return Size{};
    if (id == WindowId::graphics) return w.client;
    RECT client{};
    GetClientRect(w.handle, &client);
    return Size{client.right, client.bottom};
  }

  void set_menu(WindowId id, const Menu& menu) override {
    if (HWND handle = windows_[id].handle) menu_.attach(handle, menu);
  }

  void check_menu_entry(int command, bool checked) override { menu_.set_checked(command, checked); }

  void start_timer(int number, int period_ms) override {
    HWND handle = windows_[WindowId::graphics].handle;
    if (!handle) return;
    timers_[number].start(handle, static_cast<UINT_PTR>(number), period_ms);
  }

  void stop_timer(int number) override {
    auto timer = timers_.find(number);
    if (timer == timers_.end()) return;
    timer->second.stop();
    timers_.erase(timer);
  }

  // The bitmap reaches the window at its next frame, at most one a refresh
  // of the screen: any number of presents between two frames cost one copy,
  // so that a program that draws as fast as it can (a played script) is not
  // held up by the screen. A frame that is due at once is painted before
  // present returns, so a program that flushes and then computes without
  // waiting shows its picture; a later one comes with the frame timer.
  void present(const Bitmap& bitmap, ChangedRows changed) override {
    HWND handle = windows_[WindowId::graphics].handle;
    if (!handle || changed.empty()) return;
    copy_.show(bitmap, changed);
    int64_t wait_us = last_frame_us_ + frame_period_us() - now_us();
    if (wait_us <= 0) {
      draw_frame();
    } else if (!frame_timer_set_) {
      SetTimer(handle, FRAME_TIMER, static_cast<UINT>((wait_us + 999) / 1000), nullptr);
      frame_timer_set_ = true;
    }
  }

  bool shows_windows() override { return true; }

  void text_clear() override { text_.clear(); }
  void text_add_line(const char* line) override { text_.add_line(line); }

  // A look at the window system's queue is a call into the system (into
  // Wine's server, under Wine): a program that asks for events thousands
  // of times a second (a played script) looks at most every 5 ms when it
  // does not wait. Under Wine a look every millisecond halved the rate of a
  // played script; input and frames still wait no longer than one look.
  void process_events(bool block) override {
    note_program_waits();
    int64_t now = now_us();
    if (!block && now - last_look_us_ < LOOK_INTERVAL_US) return;
    last_look_us_ = now;
    if (block && !handle_pending()) {
      MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    handle_pending();
  }

  // The window system goes on meanwhile: windows are painted, and input is
  // posted to the library's queue, where it waits for the program's next
  // wait.
  void sleep(int milliseconds) override {
    if (milliseconds <= 0) return;
    int64_t end = now_us() + int64_t{milliseconds} * 1000;
    for (int64_t left = end - now_us(); left > 0; left = end - now_us()) {
      DWORD wait_ms = static_cast<DWORD>((left + 999) / 1000);
      MsgWaitForMultipleObjectsEx(0, nullptr, wait_ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      handle_pending();
    }
  }

  bool run_dialog(const DialogSetup& setup, DialogHandler handler) override {
    return dialog_.run(setup, handler, windows_[WindowId::graphics].handle);
  }

  const char* where_it_runs() override { return "on Windows"; }

 private:
  static Win32Platform& self();

  static void register_classes() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const wchar_t* name : {GRAPHICS_CLASS, TEXT_CLASS}) {
      WNDCLASSEXW window_class{};
      window_class.cbSize = sizeof window_class;
      window_class.style = CS_HREDRAW | CS_VREDRAW;
      window_class.lpfnWndProc = window_procedure;
      window_class.hInstance = instance;
      window_class.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
      window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
      window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
      window_class.lpszClassName = name;
      RegisterClassExW(&window_class);
    }
  }

  // Handles the window messages that are ready now, a bounded number;
  // returns whether there were any.
  static bool handle_pending() {
    MSG message;
    int handled = 0;
    while (handled < MESSAGES_PER_PASS && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ++handled;
      if (message.message == WM_QUIT) {
        post_message(Message{WindowId::none, MessageKind::quit, static_cast<int>(message.wParam)});
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    return handled > 0;
  }

  static WindowId window_id(HWND handle) {
    return static_cast<WindowId>(GetWindowLongPtrW(handle, GWLP_USERDATA));
  }

  static LRESULT CALLBACK window_procedure(HWND handle, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
      auto id = reinterpret_cast<intptr_t>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
      SetWindowLongPtrW(handle, GWLP_USERDATA, id);
      self().windows_[static_cast<WindowId>(id)].handle = handle;
    }
    WindowId id = window_id(handle);
    if (id == WindowId::none) return DefWindowProcW(handle, message, w, l);
    LRESULT result = 0;
    if (self().handle_message(id, handle, message, w, l, result)) return result;
    return DefWindowProcW(handle, message, w, l);
  }

  // One window message; false for those that get the default handling.
  bool handle_message(WindowId id, HWND handle, UINT message, WPARAM w, LPARAM l, LRESULT& result) {
    switch (message) {
      case WM_CREATE:
        send_message(Message{id, MessageKind::create, 0, 0});
        return true;
      case WM_CLOSE:
        post_message(Message{id, MessageKind::close, 0, 0});
        return true;  // the library decides whether the window goes
      case WM_DESTROY:
        forget(id);
        return true;
      case WM_SIZE:
        if (w != SIZE_MINIMIZED) resized(id, LOWORD(l), HIWORD(l));
        return true;
      case WM_DPICHANGED:
        rescaled(id, HIWORD(w), reinterpret_cast<const RECT*>(l));
        return true;
      case WM_ERASEBKGND:
        result = 1;  // every pixel is painted in WM_PAINT
        return true;
      case WM_PAINT:
        paint(id, handle);
        return true;
      case WM_TIMER:
        if (w == FRAME_TIMER) {
          draw_frame();
        } else {
          ticked(static_cast<int>(w));
        }
        return true;
      case WM_LBUTTONDOWN:
        // The client coordinates are signed 16-bit values. While the button
        // is held the mouse stays the window's, so that a drag past its edge
        // goes on and its release comes here.
        if (id == WindowId::graphics) SetCapture(handle);
        mouse(id, MessageKind::left_button_down, l);
        return true;
      case WM_LBUTTONUP:
        if (GetCapture() == handle) ReleaseCapture();
        mouse(id, MessageKind::left_button_up, l);
        return true;
      case WM_MOUSEMOVE:
        mouse(id, MessageKind::mouse_move, l);
        return true;
      case WM_KILLFOCUS:
        // No release comes for the keys held now.
        post_message(Message{id, MessageKind::focus_lost, 0, 0});
        return true;
      case WM_KEYDOWN:
        key_pressed(id, handle, w, l);
        return true;
      case WM_KEYUP:
        post_message(Message{id, MessageKind::key_up, static_cast<int>(w), 0, held_modifiers()});
        return true;
      case WM_SYSKEYUP:
        // Ctrl let go while Alt is held; F10, Alt and Alt with a letter
        // stay with the default handling, which opens the menu.
        if (w == VK_CONTROL) post_message(Message{id, MessageKind::key_up, KEY_CONTROL, 0, 0});
        return false;
      case WM_CHAR:
        typed(w);
        return true;
      case WM_COMMAND:
        if (HIWORD(w) == 0 && l == 0) {
          post_message(Message{id, MessageKind::command, LOWORD(w), 0});
        }
        return true;
      case WM_QUERYENDSESSION:
        result = TRUE;
        return true;
      case WM_ENDSESSION:
        session_ends(w != FALSE);
        return true;
      default:
        return false;
    }
  }

  void forget(WindowId id) {
    if (id == WindowId::graphics) {
      frame_timer_set_ = false;
      for (auto& timer : timers_) timer.second.stop();
      timers_.clear();
      menu_.forget();
    }
    if (id == WindowId::text) text_.attach(nullptr);
    windows_[id] = Window{};
  }

  void resized(WindowId id, int width, int height) {
    Window& w = windows_[id];
    if (id == WindowId::graphics) {
      if (w.client.width == 0) return;  // still being created
      Size client{width / w.scale, height / w.scale};
      if (client.width == w.client.width && client.height == w.client.height) return;
      w.client = client;
      post_message(Message{id, MessageKind::size, client.width, client.height});
    } else {
      // The text window is painted whole when its size changes.
      InvalidateRect(w.handle, nullptr, FALSE);
    }
  }

  // The window moved to a screen of another resolution: Windows suggests
  // its new place; the graphics window keeps whole blocks.
  void rescaled(WindowId id, int dpi, const RECT* suggested) {
    Window& w = windows_[id];
    POINT place{suggested->left, suggested->top};
    if (id == WindowId::graphics) {
      w.scale = scale_for(w.handle, dpi, w.client);
      fit_client(w.handle, w.client.width * w.scale, w.client.height * w.scale, &place);
    } else {
      SetWindowPos(w.handle, nullptr, place.x, place.y, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      text_.rescale();
    }
    InvalidateRect(w.handle, nullptr, FALSE);
  }

  void paint(WindowId id, HWND handle) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(handle, &ps);
    if (id == WindowId::graphics) {
      copy_.paint(dc, ps.rcPaint, windows_[id].scale);
    } else {
      RECT client{};
      GetClientRect(handle, &client);
      text_.paint(dc, client);
    }
    EndPaint(handle, &ps);
  }

  // What changed goes into the window's copy and is painted at once.
  void draw_frame() {
    const Window& w = windows_[WindowId::graphics];
    if (frame_timer_set_ && w.handle) KillTimer(w.handle, FRAME_TIMER);
    frame_timer_set_ = false;
    if (!w.handle || !copy_.pending()) return;
    for (RECT band : copy_.take_changes()) {
      band = RECT{band.left * w.scale, band.top * w.scale, band.right * w.scale,
                  band.bottom * w.scale};
      InvalidateRect(w.handle, &band, FALSE);
    }
    last_frame_us_ = now_us();
    UpdateWindow(w.handle);
  }

  // The time between two of the screen's refreshes.
  int64_t frame_period_us() {
    if (frame_period_us_ == 0) {
      HDC screen = GetDC(nullptr);
      int hertz = GetDeviceCaps(screen, VREFRESH);
      ReleaseDC(nullptr, screen);
      frame_period_us_ = 1000000 / (hertz > 1 ? hertz : DEFAULT_REFRESH_HZ);
    }
    return frame_period_us_;
  }

  void ticked(int number) {
    auto timer = timers_.find(number);
    if (timer == timers_.end()) return;
    timer->second.served();
    post_message(Message{WindowId::graphics, MessageKind::timer, number, 0});
  }

  // A click, a release or a move at a client pixel of the graphics window
  // (a drag past its edge gives negative ones).
  void mouse(WindowId id, MessageKind kind, LPARAM l) {
    if (id != WindowId::graphics) return;
    int scale = windows_[id].scale;
    int x = static_cast<short>(LOWORD(l)), y = static_cast<short>(HIWORD(l));
    auto whole = [scale](int v) { return v >= 0 ? v / scale : -((-v + scale - 1) / scale); };
    post_message(Message{id, kind, whole(x), whole(y)});
  }

  // A key press carries the character it types: the pump translated the
  // key before handing it here, so its WM_CHAR already waits in the queue.
  // Bit 30 of the long parameter says that the key was already down: the
  // press is the key's auto-repeat.
  static void key_pressed(WindowId id, HWND handle, WPARAM key, LPARAM l) {
    int ch = 0;
    MSG character;
    if (PeekMessageW(&character, handle, WM_CHAR, WM_CHAR, PM_REMOVE)) {
      ch = typed_character(character.wParam);
    }
    int held = held_modifiers() | ((l & (LPARAM{1} << 30)) ? AUTO_REPEAT : 0);
    post_message(Message{id, MessageKind::key_down, static_cast<int>(key), ch < 0 ? 0 : ch, held});
  }

  // A character that came without its key (from an input method, say) goes
  // to the graphics window, as every typed character does.
  static void typed(WPARAM code_unit) {
    int ch = typed_character(code_unit);
    if (ch >= 0) post_message(Message{WindowId::graphics, MessageKind::character, ch, 0});
  }

  std::map<WindowId, Window> windows_;
  std::map<int, ClockTimer> timers_;
  WindowCopy copy_;
  int64_t last_frame_us_ = 0;
  int64_t last_look_us_ = 0;
  int64_t frame_period_us_ = 0;
  bool frame_timer_set_ = false;
  MenuBar menu_;
  TextPane text_;
  ModalDialog dialog_;
};

Win32Platform& Win32Platform::self() { return static_cast<Win32Platform&>(windowed_platform()); }

}  // namespace
}  // namespace kivet::win32

// Never destroyed: the library may close itself from an atexit handler,
// after the objects of static duration are gone.
kivet::Platform& kivet::windowed_platform() {
  static win32::Win32Platform* instance = new win32::Win32Platform;
  return *instance;
}

const char* kivet::windowed_backend_name() { return "win32"; }
