#pragma once

class QWidget;

namespace varnel {

// Program name, version and build date.
void showAboutBox(QWidget* parent);

}  // namespace varnel
