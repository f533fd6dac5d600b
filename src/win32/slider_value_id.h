#pragma once

namespace varnel::win32 {

// A slider's value label (named "<slider>Value" in its layout) gets the
// slider's id plus this offset in the generated template, so that the
// binding can show the value beside the slider as the Qt windows do.
inline constexpr int kSliderValueIdOffset = 20000;

}  // namespace varnel::win32
