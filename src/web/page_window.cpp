#include "web/page_window.h"

namespace varnel::web {

PageWindow::~PageWindow() {
    if (token_ == 0) return;
    loop_.detach(token_);
    page::closeWindow(token_);
}

int PageWindow::run() {
    token_ = page::openWindow(uiName_);
    loop_.attach(token_, *this);
    onOpen();
    loop_.runUntil(done_);
    loop_.detach(token_);
    page::closeWindow(token_);
    token_ = 0;
    return result_;
}

void PageWindow::end(int result) {
    result_ = result;
    done_ = true;
}

void PageWindow::handle(const PageEvent& e) {
    // Once ended, a window hears nothing more: its loop is unwinding.
    if (done_) return;
    if (e.kind == "click") onClick(e.name);
    else if (e.kind == "change") onChange(e.name);
    else if (e.kind == "slide") onSlide(e.name);
    else if (e.kind == "tab") onTab(e.name, e.number());
    else if (e.kind == "activate") onActivate(e.name);
    else if (e.kind == "timer") onTimer(e.number());
    else if (e.kind == "close") onClose();
}

}  // namespace varnel::web
