#include "firmware/srecord_loader.h"

#include <cstdio>
#include <cstring>

#include "core/user_interface.h"
#include "firmware/srecord_parser.h"

namespace varnel {

int loadSRecordFile(const std::string& path, FlashImage& image, UserInterface& ui) {
    // Binary mode: a CR before the line end is left to the parser, which never
    // looks past the checksum.
    std::FILE* in = path.empty() ? stdin : std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        std::fprintf(stderr, "Can't open input file %s\n", path.c_str());
        return -1;
    }

    image.reset();
    SRecordParser parser(image, SRecordRules::file());
    char line[kSRecordLineMax + 1];
    int result = 0;
    while (std::fgets(line, sizeof line, in) != nullptr) {
        const SRecordLineResult r = parser.feedLine(std::string_view(line, std::strlen(line)));
        if (r.kind == SRecordLineResult::End) break;
        if (r.kind == SRecordLineResult::Error) {
            ui.message(r.message);
            result = -1;
            break;
        }
    }

    if (in != stdin) std::fclose(in);
    return result;
}

}  // namespace varnel
