#pragma once

#include <memory>
#include <string>

#include <QDialog>

namespace Ui {
class ListingDialog;
}

namespace varnel {

struct AppContext;

// Shows a code or patch listing as read-only fixed-width text the user can
// select and copy, and saves it to a text file exactly as built.
class CListingDialog : public QDialog {
    Q_OBJECT
public:
    CListingDialog(AppContext& context, std::string text, QWidget* parent = nullptr);
    ~CListingDialog() override;

    QString shownText() const;

private:
    std::unique_ptr<Ui::ListingDialog> ui_;
    AppContext& context_;
    std::string text_;
};

// Runs the listing window modally with `text` under `title` and returns when it closes.
void showListing(AppContext& context, const std::string& title, const std::string& text, QWidget* parent);

}  // namespace varnel
