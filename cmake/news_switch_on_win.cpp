#include "settings/AppConfig.h"

// The test build of the main program with the web page watch switched on; linked before the
// library, it stands in for the library's own answer.
bool NewsSwitchBuilt() {
    return true;
}
