#include "Tv/server/object_caption.h"

#include "Awapi/aw3d/screen_geometry.h"
#include "Tv/client/client_objects.h"
#include "Tv/console/console_hooks.h"

void TvShowObjectCaption(const ClientObject& object, const char* text, int32_t kind) {
    const int width = AwGetScreenWidth();
    const int height = AwGetScreenHeight();
    float x = 0.5f, y = 0.5f;
    if (object.OnScreen && width > 0 && height > 0) {
        x = static_cast<float>(object.ScreenRect[0]) / static_cast<float>(width);
        y = static_cast<float>(object.ScreenRect[3]) / static_cast<float>(height);
    }
    TvShowCaption(x, y, text, kind, 0.4f);
}
