#include "Tv/console/captions.h"

List<Caption*> CaptionList;
float TypewriterRate = 25.0f;

Caption::Caption(float x, float y0, const char*, int32_t k, float width) : left(x), y(y0), right(x + width), kind(k) {}
Caption::~Caption() { delete[] text; }
void Caption::Draw(bool) {}
void TvMakeCaption(float, float, const char*, int32_t, float) {}
void TvDrawCaptions() {}
void TvRemoveCaptionsOfKind(int32_t) {}
bool TvHasCaptionOfKind(int32_t) { return false; }
void TvClearCaptions() {}
