#include "cli/terminal_progress.h"

#include <cstdio>

namespace varnel::cli {

TerminalProgress::TerminalProgress() : enabled_(stderrIsTerminal()) {}

TerminalProgress::~TerminalProgress() {
    if (enabled_ && drawn_) std::fputc('\n', stderr);
}

void TerminalProgress::setRange(int low, int high) {
    low_ = low;
    high_ = high;
    position_ = low;
    draw();
}

void TerminalProgress::setPosition(int position) {
    position_ = position;
    draw();
}

void TerminalProgress::setStatus(const std::string& text) {
    status_ = text;
    draw();
}

void TerminalProgress::setNote(const std::string& text) {
    // The bar's line is ended first, and drawn again below the note.
    if (enabled_ && drawn_) std::fputc('\n', stderr);
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    draw();
}

void TerminalProgress::draw() {
    if (!enabled_) return;
    constexpr int kWidth = 40;
    const int span = high_ - low_;
    int filled = span > 0 ? (position_ - low_) * kWidth / span : 0;
    if (filled < 0) filled = 0;
    if (filled > kWidth) filled = kWidth;
    const int percent = filled * 100 / kWidth;
    std::fprintf(stderr, "\r[%.*s%*s] %3d%% %-40s", filled, "########################################", kWidth - filled,
                 "", percent, status_.c_str());
    std::fflush(stderr);
    drawn_ = true;
}

}  // namespace varnel::cli
