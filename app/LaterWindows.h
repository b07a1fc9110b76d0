#pragma once
// The other windows as the price bar opens them: each family's entry points, declared in
// its own folder and handed the door where the window asks the bar for something.
#include "alerts/AlertWindows.h"
#include "feed/DlgHistory.h"
#include "floats/FloatWindows.h"
#include "news/NewsWindows.h"
#include "options/DlgOptions.h"
