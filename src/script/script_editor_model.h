#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "config/settings_record.h"
#include "script/script_statement.h"

namespace varnel {

class UserInterface;
struct Session;

// One statement line of the editor: its bytes, its unindented text and the
// level it is shown at. A length of 0 marks a free slot.
struct ScriptLine {
    std::size_t length = 0;
    std::vector<std::uint8_t> bytes;
    std::string text;
    int level = 0;
    bool operandLeftEmpty = false;  // added with the C, X or Y box it uses empty
};

// The statement buttons of the script editor.
enum class ScriptButton {
    EndBlock,
    Else,
    Quick,
    OnStartup,
    OnSecond,
    IfProfile1,
    IfProfile2,
    OnInterrupt,
    OnGpsFix,
    DoOnce,
    IfAEqualsB,
    IfALessB,
    IfAGreaterB,
    IfAEqualsC,
    IfALessC,
    IfAGreaterC,
    SetAToB,
    SetAToC,
    IncrementA,
    DecrementA,
    PortAPrint,
    PortBPrint,
    MacroOut,
    ExecuteT,
    MacroT,
    PeekCXY,
    PokeCXY,
    SetFlags,
    ClearFlags,
    ToggleFlags,
    IfFlags,
    IfInArea,
};

enum class FlagBox { Unchecked, Checked, Indeterminate };

// What the editor's input controls hold; the dialog copies its widgets here
// before a button runs and back afterwards.
struct ScriptOperandInputs {
    int aIndex = 0;  // position in the variable list A (= variable index)
    int bIndex = 1;
    std::string cText, xText, yText, tText;
    std::array<FlagBox, 8> flags{};  // flag 1 (bit 0) first

    // "If In Area" corners: degrees and minutes as typed.
    std::string nwLatDegrees, nwLatMinutes, nwLonDegrees, nwLonMinutes;
    std::string seLatDegrees, seLatMinutes, seLonDegrees, seLonMinutes;
};

// Everything the script editor does except drawing. It edits its own list of
// lines; only ok() writes the program into the script area and the script
// switch into the profile, so dropping the model is Cancel.
class ScriptEditorModel {
public:
    static constexpr int kSlotCount = 1000;
    static constexpr int kMaxIndent = 68;
    static constexpr const char* kBeginText = "Begin Script";
    static constexpr const char* kEndText = "End Script";

    // featureFlags: the current profile's feature byte (bit 7 = script engine on).
    ScriptEditorModel(ScriptArea& area, std::uint8_t& featureFlags, UserInterface& ui);

    // The line list: item 0 is "Begin Script", the last item "End Script".
    int itemCount() const { return static_cast<int>(items_.size()); }
    std::string itemText(int item) const;
    int selected() const { return selected_; }
    void select(int item);  // -1 clears the selection

    int byteTotal() const { return byteTotal_; }
    std::string counterText() const;  // "%d of %d"

    // Inserts a statement below the selection. False, with nothing changed,
    // when it cannot be taken (all slots in use, or no bytes).
    bool addLine(const std::string& text, const std::vector<std::uint8_t>& bytes);
    void reindent(int anchor);

    void deleteLine();
    void moveUp();
    void moveDown();

    // Statement buttons: read the operands where the button has any, then add
    // the line (or report why not).
    void press(ScriptButton button);

    ScriptOperandInputs inputs;
    bool scriptEnabled = false;  // "Enable Script Engine"

    // Corner hemispheres: true = south for latitudes, true = west for longitudes.
    bool nwLatSouth = false, nwLonWest = true, seLatSouth = false, seLonWest = true;
    void toggleNwLatitude() { nwLatSouth = !nwLatSouth; }
    void toggleNwLongitude() { nwLonWest = !nwLonWest; }
    void toggleSeLatitude() { seLatSouth = !seLatSouth; }
    void toggleSeLongitude() { seLonWest = !seLonWest; }
    static const char* latitudeCaption(bool south) { return south ? "S" : "N"; }
    static const char* longitudeCaption(bool west) { return west ? "W" : "E"; }

    // The last accepted operand values, kept when a typed one is refused.
    std::uint16_t heldC() const { return c_; }
    std::uint16_t heldX() const { return x_; }
    std::uint8_t heldY() const { return y_; }

    // Statement bytes and shown lines between "Begin Script" and "End Script".
    std::vector<std::vector<std::uint8_t>> statements() const;
    std::vector<std::string> statementLines() const;
    // Per statement, whether a number box it uses was empty when it was added.
    std::vector<bool> operandsLeftEmpty() const;

    const ScriptLine& slotOf(int item) const {
        return slots_[static_cast<std::size_t>(items_[static_cast<std::size_t>(item)])];
    }

    // Compiles; when the program fits and the user keeps it after the
    // script check's question (asked only when the check finds something),
    // replaces the script area and stores the script switch, and the dialog
    // may close. Otherwise nothing stored changes.
    bool ok();

private:
    int lastItem() const { return itemCount() - 1; }
    bool isStatementItem(int item) const { return item > 0 && item < lastItem(); }
    std::uint8_t opcodeOf(int item) const { return slotOf(item).bytes.front(); }
    int levelAfter(int item) const;
    void readOperands();
    void addStatement(const ScriptStatement& s) { addLine(s.text, s.bytes); }
    void addText(std::uint8_t opcode);
    void addArea();
    std::uint8_t flagByte() const;

    ScriptArea& area_;
    std::uint8_t& featureFlags_;
    UserInterface& ui_;

    std::vector<ScriptLine> slots_;
    std::vector<int> items_;  // slot index per item; -1 for the two fixed items
    int selected_ = -1;
    int byteTotal_ = 0;

    std::uint16_t c_ = 0;
    std::uint16_t x_ = 0;
    std::uint8_t y_ = 0;
    std::uint8_t aIndex_ = 0, bIndex_ = 1;
    std::string tText_;
};

// The feature byte of the session's current profile.
std::uint8_t& currentProfileFeatureFlags(Session& session);

inline constexpr const char* kScriptFullMessage = "The script cannot hold more than 1000 lines";
inline constexpr const char* kConstantRangeMessage = "Valid constant range is 0 to 65535";
inline constexpr const char* kXRangeMessage = "Valid x range is 0 to 65535";
inline constexpr const char* kYRangeMessage = "Valid y range is 0 to 255";
inline constexpr const char* kInvalidLatitudeMessage = "Invalid latitude";
inline constexpr const char* kInvalidLongitudeMessage = "Invalid longitude";

}  // namespace varnel
