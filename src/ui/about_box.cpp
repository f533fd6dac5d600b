#include "ui/about_box.h"

#include <QMessageBox>

namespace varnel {

void showAboutBox(QWidget* parent) {
    QMessageBox::about(parent, QStringLiteral("About varnelcfg"),
                       QStringLiteral("varnelcfg %1\nConfiguration tool for Varnel APRS trackers\n"
                                      "Built %2")
                           .arg(QStringLiteral(VARNEL_VERSION), QStringLiteral(VARNEL_BUILD_DATE)));
}

}  // namespace varnel
