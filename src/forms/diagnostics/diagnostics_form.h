#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "config/profile_record.h"
#include "forms/common/form_control.h"
#include "link/diagnostics_session.h"

namespace varnel {

// Control ids of the adjustment and diagnostics dialog.
namespace diagnostics_id {
inline constexpr int kOk = 1;
inline constexpr int kRedLed = 1228;
inline constexpr int kGreenLed = 1229;
inline constexpr int kTxLed = 1231;
inline constexpr int kPower = 1284;
inline constexpr int kHighTone = 1232;
inline constexpr int kLowTone = 1233;
inline constexpr int kPair1200 = 1234;
inline constexpr int kPair300 = 1235;
inline constexpr int kAudioLevel = 1226;
inline constexpr int kSensors = 1242;
inline constexpr int kVoltage = 1240;
inline constexpr int kTemperature = 1241;
inline constexpr int kReceiveLevelLabel = 1385;
inline constexpr int kReceiveLevel = 1386;  // the bar, drawn by the view from receiveLevel
inline constexpr int kGain1x = 1387;
inline constexpr int kGain4x = 1388;
inline constexpr int kGain16x = 1389;
inline constexpr int kReceiveGainLabel = 1390;
}  // namespace diagnostics_id

// What the opener hands the dialog and takes back, however it closes: the
// transmit audio level, and the receive gain choice (0 1x, 1 4x, 2 16x) for
// an opener that keeps one (the weather firmware has none).
struct DiagnosticsSettings {
    std::uint8_t audioLevel = 0;
    std::optional<int> gain;
};

// A tracker profile keeps the gain choice in two bits of radioFlags.
int gainChoiceFromRadioFlags(std::uint8_t radioFlags);
std::uint8_t radioFlagsWithGain(std::uint8_t radioFlags, int gainChoice);

// What a tracker profile hands the window (its audio level and gain), and
// what it keeps of what comes back, however the window was closed.
DiagnosticsSettings trackerDiagnosticsSettings(const ConstProfileRecord& profile);
void storeTrackerDiagnosticsSettings(const ProfileRecord& profile, const DiagnosticsSettings& settings);

// What the dialog's controls hold.
struct DiagnosticsForm {
    FormControl redLed, greenLed, txLed, power;
    FormControl highTone, lowTone, pair1200, pair300;
    FormControl audioLevel;  // slider 1..255
    FormControl sensors, voltage, temperature;
    FormControl receiveLevelLabel, gain1x, gain4x, gain16x, receiveGainLabel;
    FormControl okButton;
    // The receive level bar: Qt has no binding kind for it, the view copies it.
    int receiveLevel = 0;
    bool receiveLevelShown = false;
};

inline constexpr std::size_t kDiagnosticsControlCount = 18;
extern const std::array<ControlInfo<DiagnosticsForm>, kDiagnosticsControlCount> kDiagnosticsControls;

// The slider cannot show a level below 1; the tracker is still told the
// level that was handed in.
inline constexpr int kAudioSliderMin = 1;
inline constexpr int kAudioSliderMax = 255;

// The gain choice as the window shows it (1x, 4x, 16x), without a device:
// what the command line's key reads and sets. Only the JM60 shows it.
void showDiagnosticsGain(DiagnosticsForm& form, TargetKind kind, int gainChoice);
int diagnosticsGainChoice(const DiagnosticsForm& form);

// Opens the session (the tracker's opening sequence) and fills the form.
void startDiagnostics(DiagnosticsForm& form, DiagnosticsSession& diag, const DiagnosticsSettings& settings);
// A control was clicked, chosen or moved; the form holds the widgets' state.
void diagnosticsControlChanged(DiagnosticsForm& form, DiagnosticsSession& diag, int controlId);
// The 250 ms poll; false when nothing was read (a tone plays, or the silent
// tracker is not asked this time).
bool pollDiagnostics(DiagnosticsForm& form, DiagnosticsSession& diag);
// The closing sequence; what goes back to the opener.
DiagnosticsSettings finishDiagnostics(DiagnosticsSession& diag, const DiagnosticsSettings& handedIn);

}  // namespace varnel
