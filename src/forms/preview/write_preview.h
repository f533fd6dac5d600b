#pragma once

#include <string>
#include <vector>

#include "forms/preview/network_rules.h"

namespace varnel {

struct Session;

// One group of the list a Write shows before its first erase: a profile, a
// window of a profile, what both profiles share, the script, a weather
// station's record. Its lines read "callsign: N0CALL-9 -> W1AW-7", in the
// names and units of the window.
struct PreviewGroup {
    std::string title;
    std::vector<std::string> lines;
};

// What a write will change on the tracker, and the network's warnings for
// what it will write.
struct WritePreview {
    std::vector<PreviewGroup> groups;  // empty when nothing differs
    std::vector<NetworkWarning> warnings;
};

// From what the tracker holds now (`current`) to what will be written
// (`planned`); both sessions are left as they were. Bytes that differ but
// that no window shows are listed too, under a plain name.
WritePreview previewWrite(Session& current, Session& planned);

// The preview as lines of text: each group's title, then its lines
// indented by two spaces; "Nothing differs: ..." when nothing does; then
// the warnings under "Warnings". The same lines the preview window shows
// and `varnelcfg-cli write` prints.
std::vector<std::string> previewLines(const WritePreview& preview);

inline constexpr const char* kNothingDiffers = "Nothing differs: the tracker already holds these settings.";

}  // namespace varnel
