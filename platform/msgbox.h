#pragma once
// Message boxes. The backend (an SDL window layer) is installed at start-up;
// without one, and in test mode, the text goes to standard error and the
// default answer is returned at once.

#include <cstdint>
#include <string_view>

namespace plat {

// Style bits (Win32 values).
constexpr uint32_t kMbOk = 0x0;
constexpr uint32_t kMbOkCancel = 0x1;
constexpr uint32_t kMbYesNo = 0x4;
constexpr uint32_t kMbIconError = 0x10;
constexpr uint32_t kMbIconQuestion = 0x20;
constexpr uint32_t kMbIconWarning = 0x30;
constexpr uint32_t kMbDefButton2 = 0x100;
constexpr uint32_t kMbTaskModal = 0x2000;

// Answers.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// The answer a box of this style gives without a user: its default button.
int DefaultMessageBoxAnswer(uint32_t style);

using MessageBoxBackend = int (*)(std::string_view text, std::string_view caption, uint32_t style);

// Installs the interactive backend (null removes it).
void SetMessageBoxBackend(MessageBoxBackend backend);
// Test mode: never shows a box; prints and answers the default.
void SetMessageBoxTestMode(bool on);

// Shows a box and returns the answer.
int MessageBox(std::string_view text, std::string_view caption, uint32_t style);

} // namespace plat
