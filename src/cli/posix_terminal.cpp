#include <unistd.h>

#include "cli/terminal_progress.h"

namespace varnel::cli {

bool stderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace varnel::cli
