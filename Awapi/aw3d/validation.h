#pragma once
// Device validation with the log line the engine writes when it fails.

// Validates the device's current state; on failure writes "Error: Validate
// Device failed on line <line> in file <file>." to the log. False on failure.
bool AwValidateDevice(int line, const char* file);
