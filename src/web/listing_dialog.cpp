#include "web/listing_dialog.h"

#include "shell/script_windows.h"
#include "web/form_binding.h"

namespace varnel::web {

void CListingDialog::onOpen() {
    setTitle(title_);
    page::setControl(token(), "listingText", "edit", control_binding::utf8FromBytes(text_), false, -1, 0, true, true,
                     "");
}

void CListingDialog::onClick(const std::string& name) {
    if (name == "saveButton") saveListingCommand(context_, text_);
    else if (name == "okButton") end(kResultAccepted);
}

}  // namespace varnel::web
