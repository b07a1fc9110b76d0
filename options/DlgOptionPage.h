#pragma once
// What the options window needs of each page. Win32 code only.
#include <functional>

// Called by a page whenever the user changes something on it.
using PageChanged = std::function<void()>;
