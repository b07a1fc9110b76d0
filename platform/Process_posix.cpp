#include "platform/Process.h"

// No other programs are started here.
bool StartProgram(const std::string&, const std::string&, StartWindow) {
    return false;
}
