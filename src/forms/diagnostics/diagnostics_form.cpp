#include "forms/diagnostics/diagnostics_form.h"

#include <algorithm>

#include "config/profile_layout.h"

namespace varnel {

namespace id = diagnostics_id;
using T = ControlType;
using F = DiagnosticsForm;

const std::array<ControlInfo<DiagnosticsForm>, kDiagnosticsControlCount> kDiagnosticsControls{{
    {id::kRedLed, "redLed", T::Check, &F::redLed, 0, ""},
    {id::kGreenLed, "greenLed", T::Check, &F::greenLed, 0, ""},
    {id::kTxLed, "txLed", T::Check, &F::txLed, 0, ""},
    {id::kPower, "powerOutput", T::Check, &F::power, 0, ""},
    {id::kHighTone, "highTone", T::Check, &F::highTone, 0, ""},
    {id::kLowTone, "lowTone", T::Check, &F::lowTone, 0, ""},
    {id::kPair1200, "pair1200", T::Radio, &F::pair1200, 0, ""},
    {id::kPair300, "pair300", T::Radio, &F::pair300, 0, ""},
    {id::kAudioLevel, "audioLevel", T::Slider, &F::audioLevel, 0, "Transmitted audio level", "Audio level"},
    {id::kSensors, "sensorsGroup", T::Group, &F::sensors, 0, "Click to read the sensors now"},
    {id::kVoltage, "voltage", T::Label, &F::voltage, 0, ""},
    {id::kTemperature, "temperature", T::Label, &F::temperature, 0, ""},
    {id::kReceiveLevelLabel, "receiveLevelLabel", T::Label, &F::receiveLevelLabel, 0, ""},
    {id::kGain1x, "gain1x", T::Radio, &F::gain1x, 0, ""},
    {id::kGain4x, "gain4x", T::Radio, &F::gain4x, 0, ""},
    {id::kGain16x, "gain16x", T::Radio, &F::gain16x, 0, ""},
    {id::kReceiveGainLabel, "receiveGainLabel", T::Label, &F::receiveGainLabel, 0, ""},
    {id::kOk, "okButton", T::Button, &F::okButton, 0, ""},
}};

int gainChoiceFromRadioFlags(std::uint8_t radioFlags) {
    if (radioFlags & profile_layout::kRadioChoice2) return 2;
    return radioFlags & profile_layout::kRadioChoice1 ? 1 : 0;
}

std::uint8_t radioFlagsWithGain(std::uint8_t radioFlags, int gainChoice) {
    auto flags =
        static_cast<std::uint8_t>(radioFlags & ~(profile_layout::kRadioChoice1 | profile_layout::kRadioChoice2));
    if (gainChoice == 1) flags |= profile_layout::kRadioChoice1;
    if (gainChoice == 2) flags |= profile_layout::kRadioChoice2;
    return flags;
}

DiagnosticsSettings trackerDiagnosticsSettings(const ConstProfileRecord& profile) {
    return {profile.audioLevel(), gainChoiceFromRadioFlags(profile.radioFlags())};
}

void storeTrackerDiagnosticsSettings(const ProfileRecord& profile, const DiagnosticsSettings& settings) {
    profile.setAudioLevel(settings.audioLevel);
    profile.setRadioFlags(radioFlagsWithGain(profile.radioFlags(), settings.gain.value_or(0)));
}

void showDiagnosticsGain(DiagnosticsForm& form, TargetKind kind, int gainChoice) {
    // Only the JM60 board samples the receiver's audio.
    for (FormControl* c : {&form.receiveLevelLabel, &form.gain1x, &form.gain4x, &form.gain16x, &form.receiveGainLabel})
        c->visible = showsReceiveLevel(kind);
    form.gain1x.text = "1x";
    form.gain4x.text = "4x";
    form.gain16x.text = "16x";
    form.gain1x.checked = gainChoice == 0;
    form.gain4x.checked = gainChoice == 1;
    form.gain16x.checked = gainChoice != 0 && gainChoice != 1;
}

int diagnosticsGainChoice(const DiagnosticsForm& form) {
    if (form.gain16x.checked) return 2;
    return form.gain4x.checked ? 1 : 0;
}

namespace {

void showReadings(DiagnosticsForm& form, const SensorReadings& r) {
    form.voltage.text = r.voltage;
    form.temperature.text = r.temperature;
    if (r.receiveLevel) form.receiveLevel = *r.receiveLevel;
}

}  // namespace

void startDiagnostics(DiagnosticsForm& form, DiagnosticsSession& diag, const DiagnosticsSettings& settings) {
    const int gain = settings.gain.value_or(0);
    showReadings(form, diag.open(settings.audioLevel, gain));
    // The opening sequence leaves the red LED on and everything else off.
    form.redLed.checked = true;
    for (FormControl* off : {&form.greenLed, &form.txLed, &form.power, &form.highTone, &form.lowTone})
        off->checked = false;
    form.pair1200.checked = true;
    form.pair300.checked = false;
    form.audioLevel.position = std::clamp<int>(settings.audioLevel, kAudioSliderMin, kAudioSliderMax);

    form.receiveLevelShown = diag.showsReceiveLevel();
    showDiagnosticsGain(form, diag.kind(), gain);
}

void diagnosticsControlChanged(DiagnosticsForm& form, DiagnosticsSession& diag, int controlId) {
    switch (controlId) {
    case id::kRedLed: diag.setOutput(DiagOutput::RedLed, form.redLed.checked); break;
    case id::kGreenLed: diag.setOutput(DiagOutput::GreenLed, form.greenLed.checked); break;
    case id::kTxLed: diag.setOutput(DiagOutput::TxLed, form.txLed.checked); break;
    case id::kPower: diag.setOutput(DiagOutput::Power, form.power.checked); break;
    case id::kHighTone:
    case id::kLowTone: diag.setTones(form.highTone.checked, form.lowTone.checked); break;
    case id::kPair1200: diag.chooseTonePair(TonePair::Baud1200); break;
    case id::kPair300: diag.chooseTonePair(TonePair::Baud300); break;
    case id::kAudioLevel:
        diag.setAudioLevel(
            static_cast<std::uint8_t>(std::clamp(form.audioLevel.position, kAudioSliderMin, kAudioSliderMax)));
        break;
    case id::kGain1x: diag.setGain(0); break;
    case id::kGain4x: diag.setGain(1); break;
    case id::kGain16x: diag.setGain(2); break;
    case id::kSensors: showReadings(form, diag.refreshSensors()); break;
    default: break;
    }
}

bool pollDiagnostics(DiagnosticsForm& form, DiagnosticsSession& diag) {
    const auto readings = diag.poll();
    if (readings) showReadings(form, *readings);
    return readings.has_value();
}

DiagnosticsSettings finishDiagnostics(DiagnosticsSession& diag, const DiagnosticsSettings& handedIn) {
    diag.close();
    DiagnosticsSettings out{diag.audioLevel(), std::nullopt};
    if (handedIn.gain) out.gain = diag.gain();
    return out;
}

}  // namespace varnel
