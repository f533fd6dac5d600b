#pragma once

#include <memory>
#include <span>
#include <string>

#include "shell/app_context.h"
#include "web/form_binding.h"
#include "web/page_window.h"

namespace varnel::web {

// A page window over a shell behaviour that takes its controls' events by
// id (ControlEvents): its elements bound through the form's table, every
// click, edit, slider move and tab forwarded, nothing decided here. The
// tracker and weather windows are this.
template <class View, class Window, class Form>
class ForwardingView : public PageView<View> {
public:
    ForwardingView(PageLoop& loop, std::string uiName, AppContext& context, std::span<const ControlInfo<Form>> table)
        : PageView<View>(loop, std::move(uiName)), window_(context, *this), table_(table) {}

    void readForm(Form& form) override { binding_->fromControls(form); }
    void showForm(const Form& form) override { binding_->toControls(form); }
    void showTitle(const std::string& title) override { this->setTitle(title); }

private:
    void onOpen() override {
        binding_ = std::make_unique<FormBinding<Form>>(this->token(), table_);
        binding_->takeCaptions(window_.form());
        window_.start();
    }
    void onClick(const std::string& name) override {
        if (const auto* row = userRow(name)) window_.clicked(row->id);
    }
    // A slider let go has told every move already.
    void onChange(const std::string& name) override {
        if (const auto* row = userRow(name); row && row->type != ControlType::Slider) window_.edited(row->id);
    }
    void onSlide(const std::string& name) override {
        if (const auto* row = userRow(name)) window_.edited(row->id);
    }
    void onTab(const std::string&, int index) override { window_.tabChanged(index); }
    void onClose() override { window_.exitRequested(); }

    // The row of an element the user changed; none while the binding changes them.
    const ControlInfo<Form>* userRow(const std::string& name) const {
        return binding_->updating() ? nullptr : binding_->row(name);
    }

    Window window_;
    std::span<const ControlInfo<Form>> table_;
    std::unique_ptr<FormBinding<Form>> binding_;
};

}  // namespace varnel::web
