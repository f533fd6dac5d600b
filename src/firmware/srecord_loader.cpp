#include "firmware/srecord_loader.h"

#include <cstdio>
#include <iterator>
#include <string>

#include "core/user_interface.h"

namespace varnel {

int loadSRecordFile(const std::string& path, FlashImage& image, UserInterface& ui) {
    // Binary mode: a CR before the line end is left to the parser, which never
    // looks past the checksum.
    std::FILE* in = path.empty() ? stdin : std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        std::fprintf(stderr, "Can't open input file %s\n", path.c_str());
        return -1;
    }
    std::string text;
    char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) text.append(chunk, got);
    if (in != stdin) std::fclose(in);
    return loadSRecordText(text, image, ui);
}

int loadSRecordText(std::string_view text, FlashImage& image, UserInterface& ui) {
    return readSRecordText(text, SRecordRules::file(), image, ui);
}

int readSRecordText(std::string_view text, SRecordRules rules, FlashImage& image, UserInterface& ui) {
    image.reset();
    SRecordParser parser(image, rules);
    // A line ends after its LF, or after kSRecordLineMax characters (the rest
    // goes on as the next line), as a fixed line buffer reads a file.
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        end = end == std::string_view::npos ? text.size() : end + 1;
        if (end - pos > kSRecordLineMax) end = pos + kSRecordLineMax;
        const SRecordLineResult r = parser.feedLine(text.substr(pos, end - pos));
        pos = end;
        if (r.kind == SRecordLineResult::End) break;
        if (r.kind == SRecordLineResult::Error) {
            ui.message(r.message, MessageKind::Error);
            return -1;
        }
    }
    // A text file with no S-records in it is not an empty firmware: loading
    // it would erase the tracker's firmware and write nothing in its place.
    if (!image.touchedSpan()) {
        ui.message(kNoFirmwareRecords, MessageKind::Error);
        return kNoRecordsLoaded;
    }
    return 0;
}

}  // namespace varnel
