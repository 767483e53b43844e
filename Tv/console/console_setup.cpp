#include "Tv/console/console_setup.h"

#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/font.h"
#include "Awapi/light_set.h"
#include "Tv/console/batch.h"
#include "Tv/console/captions.h"
#include "Tv/console/command_args.h"
#include "Tv/console/command_registry.h"
#include "Tv/console/console_fonts.h"
#include "Tv/console/console_hooks.h"
#include "Tv/console/console_window.h"
#include "Tv/console/font_glyphs.h"
#include "Tv/console/repeat_text.h"
#include "Tv/console/tokens.h"
#include "Tv/defs/datadirectory.h"

namespace {

constexpr int32_t kGraphicsDirectory = 3;
constexpr float kInterfaceAlpha = 0.66f;

bool loaded = false;

// The console's handlers in the game's console hooks, or (off) none of them.
void SetConsoleHandlers(bool on) {
    ConsoleHooks hooks = GetConsoleHooks();
    hooks.print = on ? TvConsoleWindowPrint : nullptr;
    hooks.caption = on ? TvMakeCaption : nullptr;
    hooks.batchLoadFile = on ? TvBatchReadFile : nullptr;
    SetConsoleHooks(hooks);
}

} // namespace

void TvLoadConsoleFonts() {
    if (loaded) return;
    loaded = true;
    AwTexture* images[kFontImageCount] = {};
    const bool entered = DataDirEnter(kGraphicsDirectory);
    for (int32_t k = 0; k < kFontImageCount; ++k)
        images[k] = TextureManager.Get(FontImageName(static_cast<FontImageKind>(k)), 0);
    TextureManager.LoadPending(AwNoProgress);
    if (entered) DataDirRestore();
    TvCreateConsoleFonts(images[kSmallFontImage], images[kLargeFontImage], images[kSmallFont2Image],
                         AwGetScreenWidth());
    for (AwTexture* image : images) ReleaseUseCount(image); // the fonts hold their own uses
    SetConsoleHandlers(true);
    TvRegisterBuiltInCommands();
    ConsoleCaretIndex = 0;
    ConsoleTextColour = kConsoleDefaultTextColour;
    ConsoleCaretColour = kConsoleDefaultCursorColour;
    ConsoleSlide = -1.0f;
    ConsoleVisibleLines = 1;
    if (InterfaceLightSet) InterfaceLightSet->SetAmbient(Colour::FromFloats(1.0f, 1.0f, 1.0f, kInterfaceAlpha));
}

void TvConsoleReset() {
    TvConsoleWindowReset();
    TvBatchReset();
    TvClearCaptions();
}

void TvConsoleShutdown() {
    TvConsoleWindowClear();
    TvBatchReset();
    TvClearCaptions();
    TvClearRepeatText();
    TvReleaseConsoleFonts();
    TvResetCommandRegistry();
    TvResetCommandArgs();
    TokenTable::Clear();
    SetConsoleHandlers(false);
    loaded = false;
}
