#include <io.h>

#include <cstdio>

#include "cli/terminal_progress.h"

namespace varnel::cli {

bool stderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace varnel::cli
