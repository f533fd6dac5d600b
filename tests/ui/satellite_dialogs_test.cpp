#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "config/profile_record.h"
#include "forms/tracker_fixture.h"
#include "ui/satellite_dialogs.h"
#include "ui/tracker_config_dialog.h"
#include "ui_test_support.h"

namespace varnel {
namespace {

void retype(QWidget& d, const char* name, const QString& value) {
    auto* edit = d.findChild<QLineEdit*>(name);
    ASSERT_NE(edit, nullptr) << name;
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, value);
}

// Opens the window, types one value, and leaves it by Cancel (or Escape
// where it has only OK): nothing stored. Then again with OK: stored, and
// the window closed. Every row of its binding table has its widget.
template <class Dialog>
void okAndCancel(test::UiFixture& f, const char* edit, const QString& value,
                 const std::function<bool(const Session&)>& stored, const char* shot) {
    SCOPED_TRACE(shot);
    {
        Dialog d(f.context);
        EXPECT_TRUE(d.binding().missing().empty());
        d.show();
        test::screenshot(d, shot);
        const QSize size = d.sizeHint();
        EXPECT_LE(size.width(), 1024);
        EXPECT_LE(size.height(), 700);
        retype(d, edit, value);
        auto* box = d.template findChild<QDialogButtonBox*>("buttonBox");
        if (QPushButton* cancel = box->button(QDialogButtonBox::Cancel)) cancel->click();
        else QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_FALSE(stored(f.session));
    }
    Dialog d(f.context);
    d.show();
    retype(d, edit, value);
    d.template findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(stored(f.session));
    EXPECT_TRUE(f.ui.messages.empty());
}

ConstProfileRecord profile(const Session& s, int i) { return ConstProfileRecord(s.settings.profile(i), s.target.kind); }

TEST(SatelliteDialogs, EachBindsItsTableAndStoresOnlyOnOk) {
    test::UiFixture f;
    f.session = test::trackerSession("JM128");
    okAndCancel<CSmartBeaconDialog>(
        f, "turnAngle", "45", [](const Session& s) { return profile(s, 0).turnAngle() == 45; }, "smart_beacon");
    okAndCancel<CAccessListDialog>(
        f, "call3", "k1abc",
        [](const Session& s) {
            return std::string(s.settings.bytes.begin() + 463, s.settings.bytes.begin() + 469) ==
                   std::string("K1ABC\0", 6);
        },
        "access_list");
    okAndCancel<CDigipeaterDialog>(
        f, "alias2", "wide2",
        [](const Session& s) {
            return decodeAddress(std::array<std::uint8_t, 7>{s.settings.bytes[395], s.settings.bytes[396],
                                                             s.settings.bytes[397], s.settings.bytes[398],
                                                             s.settings.bytes[399], s.settings.bytes[400], 0}
                                     .data()) == "WIDE2";
        },
        "digipeater");
    okAndCancel<CProfileSwitchDialog>(
        f, "rightAdc", "77", [](const Session& s) { return profile(s, 1).switchAdc() == 77; }, "profile_switch");

    f.session = test::trackerSession("JL16");
    okAndCancel<CFrequencyDialog>(
        f, "channel1", "145.5",
        [](const Session& s) { return getU32BE(&s.radio.bytes[radio_layout::kFrequencies]) == 145500000u; },
        "frequency");
    okAndCancel<CStatusTextDialog>(
        f, "text2", "On the road",
        [](const Session& s) {
            return std::string(reinterpret_cast<const char*>(&s.radio.bytes[74])) == "On the road";
        },
        "status_text");
}

TEST(SatelliteDialogs, EditRulesRefusalAndComparisonButtons) {
    test::UiFixture f;
    f.session = test::trackerSession("JM128");

    CDigipeaterDialog digi(f.context);
    retype(digi, "alias1", "wide1");
    EXPECT_EQ(digi.findChild<QLineEdit*>("alias1")->text(), "WIDE1");
    EXPECT_TRUE(digi.findChild<QCheckBox*>("preempt1")->isEnabled());
    retype(digi, "hops1", "x7");
    EXPECT_EQ(digi.findChild<QLineEdit*>("hops1")->text(), "7");

    CProfileSwitchDialog sw(f.context);
    auto* compare = sw.findChild<QPushButton*>("leftSpeedCompare");
    EXPECT_EQ(compare->text(), ">");
    compare->click();
    EXPECT_EQ(compare->text(), "<=");
    compare->click();
    EXPECT_EQ(compare->text(), ">");

    // A refused value keeps the window open with its message.
    CSmartBeaconDialog sb(f.context);
    sb.show();
    retype(sb, "turnAngle", "181");
    sb.findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    EXPECT_TRUE(sb.isVisible());
    EXPECT_EQ(f.ui.messages, std::vector<std::string>{"Turn angle must be between 0 and 180 degrees"});
}

TEST(SatelliteDialogs, MainDialogOpensThemAndRefreshesTheIntervalAfterSmartBeaconing) {
    test::UiFixture f;
    f.session = test::trackerSession("JM128");
    CTrackerConfigDialog main(f.context);
    main.findChild<QCheckBox*>("smartBeaconing")->click();
    test::onNextModal([](QWidget* w) {
        auto* sb = dynamic_cast<CSmartBeaconDialog*>(w);
        if (!sb) return false;
        retype(*sb, "fastInterval", "75");
        sb->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
        return true;
    });
    main.findChild<QPushButton*>("smartBeaconingButton")->click();
    EXPECT_EQ(main.findChild<QLineEdit*>("beaconInterval")->text(), "75");

    test::onNextModal([](QWidget* w) {
        if (!dynamic_cast<CProfileSwitchDialog*>(w)) return false;
        static_cast<QDialog*>(w)->reject();
        return true;
    });
    main.findChild<QPushButton*>("profileSwitchButton")->click();
    EXPECT_TRUE(f.ui.messages.empty());
}

}  // namespace
}  // namespace varnel
