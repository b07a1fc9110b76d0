#pragma once
// The alert history of this program's folder, shared by the bar, the delivery outcomes and
// the history window.
#include "feed/AlertHistory.h"

AlertHistoryLog& ProgramHistory();
// The local date and time of an event, as the history writes it.
std::string HistoryTimeNow();
