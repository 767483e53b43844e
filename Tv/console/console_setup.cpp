#include "Tv/console/console_setup.h"

void TvLoadConsoleFonts() {}
void TvConsoleShutdown() {}
void TvConsoleReset() {}
