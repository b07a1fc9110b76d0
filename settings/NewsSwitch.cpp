#include "settings/AppConfig.h"

// Alone in its file so that a test build of the main program can link its own answer in
// place of this one.
bool NewsSwitchBuilt() {
    return PIPWARDEN_NEWS != 0;
}
