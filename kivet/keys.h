// Key codes of the keys that type no character, for key events
// (Display::set_key_events) and Display::key_down. Letters are their
// upper-case letter ('A' to 'Z') and digits their digit ('0' to '9');
// space is 32, Enter 13, Escape 27, Backspace 8 and Tab 9.
#pragma once

namespace kivet {

constexpr int arrow_left = 37;
constexpr int arrow_up = 38;
constexpr int arrow_right = 39;
constexpr int arrow_down = 40;

constexpr int key_shift = 16;
constexpr int key_control = 17;
constexpr int key_alt = 18;
constexpr int key_pause = 19;
constexpr int key_caps_lock = 20;
constexpr int key_page_up = 33;
constexpr int key_page_down = 34;
constexpr int key_end = 35;
constexpr int key_home = 36;
constexpr int key_insert = 45;
constexpr int key_delete = 46;

constexpr int key_f1 = 112;
constexpr int key_f2 = 113;
constexpr int key_f3 = 114;
constexpr int key_f4 = 115;
constexpr int key_f5 = 116;
constexpr int key_f6 = 117;
constexpr int key_f7 = 118;
constexpr int key_f8 = 119;
constexpr int key_f9 = 120;
constexpr int key_f10 = 121;
constexpr int key_f11 = 122;
constexpr int key_f12 = 123;

}  // namespace kivet
