#pragma once

#include <memory>
#include <string>

#include <QDialog>

namespace Ui {
class ListingDialog;
}

namespace varnel {

class FileChooser;
class UserInterface;

// Shows a code or patch listing as read-only fixed-width text the user can
// select and copy, and saves it to a text file exactly as built.
class CListingDialog : public QDialog {
    Q_OBJECT
public:
    CListingDialog(std::string text, FileChooser& files, UserInterface& ui, QWidget* parent = nullptr);
    ~CListingDialog() override;

    QString shownText() const;

private:
    void onSave();

    std::unique_ptr<Ui::ListingDialog> ui_;
    std::string text_;
    FileChooser& files_;
    UserInterface& sink_;
};

// Runs the listing window modally with `text` under `title` and returns when it closes.
void showListing(const std::string& text, const char* title, FileChooser& files, UserInterface& ui, QWidget* parent);

}  // namespace varnel
