#include "ui/listing_dialog.h"

#include <algorithm>

#include <QFile>
#include <QFontDatabase>
#include <QPushButton>

#include "script/script_listings.h"
#include "ui/file_chooser.h"
#include "ui_listing_dialog.h"

namespace varnel {

namespace {
constexpr const char* kTextFilter = "Text Files (*.txt)";
}

CListingDialog::CListingDialog(std::string text, FileChooser& files, UserInterface& ui, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ListingDialog>()), text_(std::move(text)), files_(files), sink_(ui) {
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
    connect(ui_->saveButton, &QPushButton::clicked, this, [this] { onSave(); });
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
}

CListingDialog::~CListingDialog() = default;

QString CListingDialog::shownText() const { return ui_->listingText->toPlainText(); }

void CListingDialog::onSave() {
    const QString path = files_.saveFile(this, QString::fromLatin1(kTextFilter), QStringLiteral("txt"));
    if (path.isEmpty()) return;
    saveListingFile(QFile::encodeName(path).toStdString(), text_, sink_);
}

void showListing(const std::string& text, const char* title, FileChooser& files, UserInterface& ui, QWidget* parent) {
    CListingDialog dialog(text, files, ui, parent);
    dialog.setWindowTitle(QString::fromUtf8(title));
    dialog.exec();
}

}  // namespace varnel
