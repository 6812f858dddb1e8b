// One quick pass over a job's commands that steps over the data of pictures, so that bytes
// of a bit image are never taken for commands: which printer family and language it is.
#pragma once

#include <string_view>

namespace folvek::printer {

struct JobScan {
    bool anyCommand = false;       // an ESC command, SI, SO, DC2, DC4 or an overstrike
    bool pins24 = false;           // 24- or 48-dot densities, ESC +, ESC ( commands, NEC FS 3
    bool escp2 = false;            // ESC ( G/U/C/c/V/v/D/R, ESC .
    bool proprinter = false;       // ESC [ x, ESC _, a job opened by DC1 ESC
    bool pcl = false;              // PJL's universal exit, parameterized PCL commands
    bool startsWithReset = false;  // ESC E first (the PCL reset; Epson's bold)
    bool boldOff = false;          // ESC F somewhere (Epson's bold off)
};

JobScan scanJob(std::string_view job);

}  // namespace folvek::printer
