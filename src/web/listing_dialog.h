#pragma once

#include <string>

#include "shell/app_context.h"
#include "web/page_window.h"

namespace varnel::web {

// A code or patch listing under its title, with Save.
class CListingDialog : public PageWindow {
public:
    CListingDialog(PageLoop& loop, AppContext& context, std::string title, std::string text)
        : PageWindow(loop, "ListingDialog"), context_(context), title_(std::move(title)), text_(std::move(text)) {}

private:
    void onOpen() override;
    void onClick(const std::string& name) override;

    AppContext& context_;
    std::string title_, text_;
};

}  // namespace varnel::web
