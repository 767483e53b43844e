#include "Tv/sim/server_popup.h"

void RegisterServerPopup() {}
