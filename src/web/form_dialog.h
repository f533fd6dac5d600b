#pragma once

#include <memory>
#include <span>

#include "core/user_interface.h"
#include "shell/app_context.h"
#include "shell/satellite_windows.h"
#include "web/form_binding.h"
#include "web/page_window.h"

namespace varnel::web {

// A modal window over one of the main dialog's satellite windows: its
// elements bound through the form's control table, clicks on its buttons
// and releases of its slider run the form's change rule, OK runs the
// window's store and closes only when it passes, Cancel closes without
// storing.
template <class Form>
class FormDialog : public PageWindow {
public:
    FormDialog(PageLoop& loop, const char* uiName, AppContext& context, const SatelliteWindow<Form>& window)
        : PageWindow(loop, uiName), context_(context), window_(window) {}

private:
    void onOpen() override {
        binding_ = std::make_unique<FormBinding<Form>>(token(), window_.controls);
        binding_->takeCaptions(form_);
        window_.show(context_.session, form_);
        // Letters typed into callsign edits come out in upper case; hop
        // counts take digits only.
        for (int id : window_.upperCase)
            if (const auto* row = binding_->row(id)) page::setControlFlags(token(), std::string(row->name), "upper");
        for (int id : window_.digitsOnly)
            if (const auto* row = binding_->row(id)) page::setControlFlags(token(), std::string(row->name), "digits");
        binding_->toControls(form_);
    }

    void onClick(const std::string& name) override {
        if (name == "buttonBox.ok") {
            binding_->fromControls(form_);
            if (window_.store(form_, context_.session, context_.ui) == 0) end(kResultAccepted);
            return;
        }
        if (name == "buttonBox.cancel") return end(kResultRejected);
        const ControlInfo<Form>* row = binding_->row(name);
        if (row && row->type == ControlType::Button) changed(row->id);
    }

    void onChange(const std::string& name) override {
        const ControlInfo<Form>* row = binding_->row(name);
        if (row && row->type == ControlType::Slider) changed(row->id);
    }

    void changed(int id) {
        binding_->fromControls(form_);
        if (window_.changed) window_.changed(form_, id);
        binding_->toControls(form_);
    }

    AppContext& context_;
    const SatelliteWindow<Form>& window_;
    Form form_;
    std::unique_ptr<FormBinding<Form>> binding_;
};

}  // namespace varnel::web
