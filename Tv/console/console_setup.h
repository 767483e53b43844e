#pragma once
// The console's start and end of the program: fonts, backdrop, the command
// table and the console's handlers in the game's console hooks. Main thread.

// Once per run (later calls do nothing): loads the three font images from the
// graphics directory, makes the backdrop and the four fonts, scales them to
// the screen, registers the built-in commands (which run the start-up lines),
// installs the console's print, caption and batch handlers, and sets the
// caret and colours to their initial values.
void TvLoadConsoleFonts();
// At program exit: frees the console's lines, captions, repeating text,
// backdrop, fonts, commands and tokens and removes its hooks; a later
// TvLoadConsoleFonts starts again.
void TvConsoleShutdown();
// Level end: the window shut and emptied, the batch queue and waits cleared,
// every caption deleted.
void TvConsoleReset();
