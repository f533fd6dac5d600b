#include "web/page_loop.h"

#include <emscripten.h>

#include "web/page_window.h"

namespace varnel::web {

namespace {
// clang-format off
EM_ASYNC_JS(void, js_sleep, (int ms), { await new Promise((resolve) => setTimeout(resolve, ms)); });
// clang-format on
// The longest a pause keeps the page from answering a click.
constexpr int kPauseSliceMs = 10;
}  // namespace

void PageLoop::dispatch(const PageEvent& e) {
    const auto w = windows_.find(e.token);
    if (w != windows_.end()) w->second->handle(e);
}

PageEvent PageLoop::next() {
    if (idle_) idle_();
    return parsePageEvent(page::nextEvent());
}

void PageLoop::runUntil(const bool& done) {
    while (!done) dispatch(next());
}

void PageLoop::pump() {
    page::yieldTurn();
    for (std::string e = page::takeEvent(); !e.empty(); e = page::takeEvent()) dispatch(parsePageEvent(e));
}

void PageLoop::pause(int ms) {
    const double until = page::now() + ms;
    for (double left = ms; left > 0; left = until - page::now()) {
        js_sleep(left < kPauseSliceMs ? static_cast<int>(left) + 1 : kPauseSliceMs);
        for (std::string e = page::takeEvent(); !e.empty(); e = page::takeEvent()) dispatch(parsePageEvent(e));
    }
}

int PageLoop::ask(const std::string& text, const std::string& buttons, int byDefault) {
    const int token = page::showMessage(text, buttons, byDefault);
    for (;;) {
        const PageEvent e = next();
        if (e.token == token && e.kind == "answer") return e.number();
        dispatch(e);
    }
}

}  // namespace varnel::web
