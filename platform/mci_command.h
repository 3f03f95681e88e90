// Parses an MCI command string ("open \"C:\\x.mp4\" type mpegVideo alias pipoco") into a
// typed record. Keywords are matched without regard to case; a quoted word may hold
// spaces. Only the commands and keywords the clip player uses are known; anything else is
// reported with the MCI error code Windows gives for it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/wintypes.h"

namespace win {

enum class MciVerb { kOpen, kWhere, kWindow, kPut, kPlay, kStop, kClose };

struct MciCommand {
    MciVerb verb = MciVerb::kOpen;
    // open: the file (or device) name, unquoted; every other verb: the alias or "all".
    std::string device;
    std::string type;   // open: the word after "type"
    std::string alias;  // open: the word after "alias"
    bool notify = false;
    bool wait = false;
    bool destination = false;        // where/put: "destination" instead of "source"/"window"
    std::uint64_t windowHandle = 0;  // window: the number after "handle"
    LONG x = 0, y = 0, width = 0, height = 0;  // put: "at X Y W H"
};

struct MciParse {
    MCIERROR error = 0;  // 0 = parsed; otherwise the MCIERR_* code to return
    MciCommand command;
};

MciParse ParseMciCommand(std::string_view text);

}  // namespace win
