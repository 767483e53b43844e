#pragma once
// Screenshots: the visible screen (the window's destination rectangle when
// windowed) written as a 24-bit BMP to "Screen.bmp", or to the first of
// "Screen1.bmp", "Screen2.bmp", ... that does not exist yet. Main thread only.

#include <string>
#include <string_view>

// False when the screen cannot be read or the file written; no file is left then.
bool AwSaveScreenshot();
// The same into a named file, which must not exist yet.
bool AwWriteScreenshot(std::string_view name);
// The name the next screenshot takes.
std::string AwNextScreenshotName();
