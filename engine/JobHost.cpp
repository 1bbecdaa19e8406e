#include "engine/JobHost.h"

#include "engine/filefacts.h"
#include "platform/LocalDateText.h"

#include <windows.h>
#include <mmsystem.h>

std::uint32_t JobHost::TickMs() { return timeGetTime(); }

DateTime JobHost::Now() { return LocalNow(); }

std::string JobHost::FormatLocalDateTime(DateTime value) { return FormatLocalDateText(value); }
