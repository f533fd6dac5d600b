#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "forms/common/form_control.h"

namespace varnel {

struct Session;

// How a command-line key reads and writes the control it stands for.
enum class KeyType {
    Text,        // an edit box, any characters up to its typing limit
    Integer,     // an edit box the dialog reads as a whole number
    Decimal,     // an edit box the dialog reads as a decimal number
    Check,       // a check box: 0 or 1
    Choice,      // a pair of radio buttons: one word for each
    Hemisphere,  // the N/S or E/W button: one letter for each state
    List,        // a list: the shown text of a row
    Slider,      // a slider: 0 to its maximum (255 unless the form says less)
    Row,         // a row of radio buttons, ids `id` to `altId`: the chosen one's caption
};

// One key of `varnelcfg-cli show` / `set`. For a Choice, `id` is the first
// radio button (word `first`) and `altId` the second (word `second`); for a
// Hemisphere, `first` is the caption for north/east, `second` for south/west.
struct FormKey {
    std::string_view key;
    KeyType type;
    int id;
    int altId = 0;
    std::string_view first = {};
    std::string_view second = {};
};

// One line of the key listing (`show --keys`): the key and what it takes,
// with its range and unit.
struct KeyHelp {
    std::string key;
    std::string values;
};

const FormKey* findFormKey(std::span<const FormKey> keys, std::string_view key);

// What the command-line keys need of a dialog's form: its controls by id,
// their typing limits, and the dialog's follow-up rule when the user changes
// a control (enabling, toggling a hemisphere button, live labels).
class KeyedForm {
public:
    virtual ~KeyedForm() = default;
    virtual FormControl* control(int id) = 0;
    virtual const FormControl* control(int id) const = 0;
    virtual int typingLimit(int id) const = 0;
    // Hidden controls are neither printed nor set.
    virtual bool available(const FormKey& key) const { return control(key.id)->visible; }
    // A disabled control cannot be set, as on the screen.
    virtual bool editable(const FormKey& key) const { return control(key.id)->enabled; }
    // The highest position of a slider (audio levels go to 255).
    virtual int sliderMaximum(int /*id*/) const { return 255; }
    virtual void changed(int id) = 0;
};

// A KeyedForm over a form struct and its control table, with the dialog's
// change rule as a function.
template <class Form>
class TableKeyedForm : public KeyedForm {
public:
    using Changed = void (*)(Form&, int);
    TableKeyedForm(Form& form, std::span<const ControlInfo<Form>> table, Changed onChange = nullptr)
        : form_(form), table_(table), onChange_(onChange) {}
    FormControl* control(int id) override { return &(form_.*(info(id).member)); }
    const FormControl* control(int id) const override { return &(form_.*(info(id).member)); }
    int typingLimit(int id) const override { return info(id).typingLimit; }
    void changed(int id) override {
        if (onChange_) onChange_(form_, id);
    }

protected:
    Form& form() { return form_; }

private:
    const ControlInfo<Form>& info(int id) const { return *findControl(table_, id); }
    Form& form_;
    std::span<const ControlInfo<Form>> table_;
    Changed onChange_;
};

// The value the key's control shows, in the words `set` accepts.
std::string formKeyValue(const KeyedForm& form, const FormKey& key);

// A text's bytes as a key shows them: every byte that is not printable
// ASCII (the 0xFF of an erased text, a control character) as \xhh, so a
// terminal shows it and set takes it back; everything else as it is.
std::string shownKeyText(std::string_view text);
// What set stores for a typed text: \xhh naming a byte that is not
// printable ASCII stands for that byte; everything else, a lone backslash
// included, is stored as typed.
std::string typedKeyText(std::string_view text);

// Applies one value as if the user had typed it or clicked it, then runs the
// dialog's follow-up rule. Empty on success, else why it was refused (the
// form is then unchanged).
std::string applyFormKey(KeyedForm& form, const FormKey& key, std::string_view value);

// What `show` prints before a form's keys: the firmware's family, type and
// build and the device id, which come from the device and cannot be set.
std::vector<std::pair<std::string, std::string>> deviceKeyValues(const Session& session);
// The refusal for setting one of them, or "" for any other key.
std::string deviceKeyRefusal(std::string_view key);

}  // namespace varnel
