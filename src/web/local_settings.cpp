#include "web/local_settings.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>

namespace varnel::web {

namespace {

// clang-format off
EM_JS(char*, js_getItem, (const char* key), {
    let text = null;
    try { text = localStorage.getItem('varnelcfg.Settings.' + UTF8ToString(key)); } catch (e) {}
    if (text === null) return 0;
    const n = lengthBytesUTF8(text) + 1;
    const p = _malloc(n);
    stringToUTF8(text, p, n);
    return p;
});
EM_JS(void, js_setItem, (const char* key, const char* value), {
    try { localStorage.setItem('varnelcfg.Settings.' + UTF8ToString(key), UTF8ToString(value)); } catch (e) {}
});
// clang-format on

// The stored text, or `fallback` when there is none (or storage is off).
std::string item(const char* key, const std::string& fallback) {
    std::unique_ptr<char, decltype(&std::free)> text(js_getItem(key), &std::free);
    return text ? std::string(text.get()) : fallback;
}

int number(const char* key, int fallback) {
    const std::string text = item(key, "");
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    return text.empty() || *end != '\0' ? fallback : static_cast<int>(v);
}

}  // namespace

int LocalSettings::port() const {
    const int slot = number("Port", 1);
    return slot >= 1 && slot <= kMaxPortSlots ? slot : 1;
}
void LocalSettings::setPort(int slot) { js_setItem("Port", std::to_string(slot).c_str()); }
std::string LocalSettings::portName() const { return item("PortName", ""); }
void LocalSettings::setPortName(const std::string& path) { js_setItem("PortName", path.c_str()); }
bool LocalSettings::turbo() const { return number("Turbo", 1) != 0; }
void LocalSettings::setTurbo(bool on) { js_setItem("Turbo", on ? "1" : "0"); }
bool LocalSettings::metric() const { return number("Metric", 1) != 0; }
void LocalSettings::setMetric(bool on) { js_setItem("Metric", on ? "1" : "0"); }
std::string LocalSettings::firmwareServer() const { return item("FirmwareServer", kDefaultFirmwareServer); }
std::string LocalSettings::mirrorServer() const { return item("MirrorServer", kDefaultMirrorServer); }

}  // namespace varnel::web
