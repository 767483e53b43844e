#pragma once
// One input event as the shell's input layer makes it: keyboard keys, mouse
// buttons, moves and wheel turns. Six little-endian 32-bit fields (24 bytes),
// the same bytes demo files store.

#include <cstdint>

struct InputEvent {
    uint32_t Message;   // kInputKeyDown, kInputKeyUp, ... (the window-message values)
    uint32_t ScanCode;  // key events: the key code
    uint32_t Position;  // mouse events: x in bits 0-15, y in bits 16-31, display pixels
    int32_t WheelDelta; // wheel events: the change of the wheel position
    uint32_t KeyCode;   // key events: the key code (equal to ScanCode)
    uint32_t Modifiers; // kModifierShift, ... when the event was made
};
static_assert(sizeof(InputEvent) == 24);

constexpr uint32_t kInputKeyDown = 256;
constexpr uint32_t kInputKeyUp = 257;
constexpr uint32_t kInputMouseMove = 512;
constexpr uint32_t kInputLeftDown = 513;
constexpr uint32_t kInputLeftUp = 514;
constexpr uint32_t kInputRightDown = 516;
constexpr uint32_t kInputRightUp = 517;
constexpr uint32_t kInputMiddleDown = 519;
constexpr uint32_t kInputMiddleUp = 520;
constexpr uint32_t kInputWheel = 522;

constexpr uint32_t kModifierShift = 1u << 0;
constexpr uint32_t kModifierCtrl = 1u << 1;
constexpr uint32_t kModifierAlt = 1u << 2;
constexpr uint32_t kModifierLeftHeld = 1u << 9;
constexpr uint32_t kModifierRightHeld = 1u << 10;
constexpr uint32_t kModifierMiddleHeld = 1u << 11;
constexpr uint32_t kModifierDoubleClick = 1u << 12;

// Key bindings compare modifiers without Shift.
constexpr uint32_t StripShiftFlag(uint32_t modifiers) { return modifiers & ~kModifierShift; }
