#pragma once

#include <string>

#include "win32/modal_dialog.h"

namespace varnel {
struct AppContext;
}

namespace varnel::win32 {

// A code or patch listing under its title in a read-only text box in a
// fixed-pitch font, with a button that saves it as a text file.
class CListingDialog : public ModalDialog {
public:
    CListingDialog(std::string title, std::string text, AppContext& context);
    ~CListingDialog() override;

private:
    void onInit() override;
    void onCommand(int id, int code, HWND control) override;
    void widenForFullLines(HWND box);

    std::string title_;
    std::string text_;
    AppContext& context_;
    HFONT font_ = nullptr;
};

}  // namespace varnel::win32
