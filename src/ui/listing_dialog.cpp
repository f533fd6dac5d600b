#include "ui/listing_dialog.h"

#include <algorithm>

#include <QFontDatabase>
#include <QPushButton>

#include "shell/script_windows.h"
#include "ui_listing_dialog.h"

namespace varnel {

CListingDialog::CListingDialog(AppContext& context, std::string text, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ListingDialog>()), context_(context), text_(std::move(text)) {
    ui_->setupUi(this);
    ui_->listingText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The listing's lines end in "\r\n" for the file; the text box wants
    // plain line feeds, or it would show the carriage returns.
    QString shown = QString::fromLatin1(text_.data(), static_cast<int>(text_.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (shown.endsWith(QLatin1Char('\n'))) shown.chop(1);
    ui_->listingText->setPlainText(shown);
    // Wide enough for a full patch line (6 + 5 + 2 + 64 characters) without
    // scrolling sideways.
    const QFontMetrics metrics(ui_->listingText->font());
    resize(std::max(width(), metrics.horizontalAdvance(QString(80, QLatin1Char('0'))) + 60), 420);
    connect(ui_->saveButton, &QPushButton::clicked, this, [this] { saveListingCommand(context_, text_); });
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
}

CListingDialog::~CListingDialog() = default;

QString CListingDialog::shownText() const { return ui_->listingText->toPlainText(); }

void showListing(AppContext& context, const std::string& title, const std::string& text, QWidget* parent) {
    CListingDialog dialog(context, text, parent);
    dialog.setWindowTitle(QString::fromStdString(title));
    dialog.exec();
}

}  // namespace varnel
