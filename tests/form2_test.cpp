// The partition size dialog, opened from the system menu on a simulated
// machine: the sizes it shows, its key filter, the bounds it checks on
// closing and what it stores.
#include <gtest/gtest.h>

#include "app/config.h"
#include "app/language.h"
#include "os/ansi.h"
#include "os/main_window.h"
#include "tests/support/started_form.h"
#include "ui/form2.h"
#include "ui/size_dialog_model.h"

namespace {

using C = os::SizeDialogControl;
using app::LangString;

class Form2Test : public ::testing::Test {
 protected:
  // Opens the dialog through the menu; `work` does what a person does while
  // it is open, then it is closed.
  void Open(const std::function<void(ui::SizeDialogModel&)>& work = nullptr) {
    f.window().SetSizeDialogDriver([&](ui::SizeDialogModel& d) {
      dialog = &d;
      if (work) work(d);
      d.Close();
      seen = Seen{d.Title(), d.Text(C::kText1), d.Text(C::kText2), d.OutOfSight(C::kText1), d.UsesOwnerIcon()};
      dialog = nullptr;
    });
    messagesBefore = f.window().Messages().size();
    EXPECT_EQ(-1, f.Menu(2032));
  }
  void Type(ui::SizeDialogModel& d, C field, const std::string& keys) {
    for (char c : keys) d.TypeChar(field, static_cast<unsigned char>(c));
  }
  // Opens the dialog, types both sizes over the shown ones and closes it.
  void Store(const std::string& ud, const std::string& efi) {
    Open([&](ui::SizeDialogModel& d) {
      d.ClickField(C::kText1);
      Type(d, C::kText1, ud.empty() ? "\b" : ud);
      d.ClickField(C::kText2);
      Type(d, C::kText2, efi.empty() ? "\b" : efi);
    });
  }
  bool Refused() { return f.window().Messages().size() > messagesBefore; }

  struct Seen {
    std::string title, ud, efi;
    bool udHidden = false;
    bool ownerIcon = false;
  };

  test::SimMachine m;
  test::StartedForm f{m};
  ui::SizeDialogModel* dialog = nullptr;
  Seen seen;
  size_t messagesBefore = 0;
};

TEST_F(Form2Test, OpeningAndClosingWithoutTypingStoresTheFallbacksWithTheirComments) {
  f.Config("[Option]\r\nTitle=x\r\n");
  ASSERT_TRUE(f.Start());
  Open();
  EXPECT_EQ(LangString(59), seen.title);
  EXPECT_TRUE(seen.ownerIcon);
  EXPECT_EQ("300", seen.ud);
  EXPECT_EQ("1032", seen.efi);
  EXPECT_FALSE(Refused());
  std::string file = f.ConfigFile();
  EXPECT_NE(std::string::npos, file.find("UDSize=300\t\t\t\t" + os::ToAnsi(ui::kUdSizeComment) + "\r\n")) << file;
  EXPECT_NE(std::string::npos, file.find("EFISize=1032\t\t\t\t" + os::ToAnsi(ui::kEfiSizeComment) + "\r\n")) << file;
  EXPECT_EQ("300", app::ReadCfg("UDSize", "Option"));
  EXPECT_EQ("1032", app::ReadCfg("EFISize", "Option"));
}

TEST_F(Form2Test, StoredSizesAreShownByTheirNumberAndFallBackBelowTheirLowerBound) {
  struct Case {
    const char* ud;
    const char* efi;
    const char* shownUd;
    const char* shownEfi;
  };
  for (const Case& c : {Case{"10", "100", "10", "100"}, Case{"9", "99", "300", "1032"},
                        Case{"0500\t\t\t\t//UD", "2048abc", "500", "2048"}, Case{"5000", "60000", "5000", "60000"},
                        Case{"abc", "", "300", "1032"}}) {
    f.Config(std::string("[Option]\r\nUDSize=") + c.ud + "\r\nEFISize=" + c.efi + "\r\n");
    ASSERT_TRUE(f.Start());
    Open();
    EXPECT_EQ(c.shownUd, seen.ud) << c.ud;
    EXPECT_EQ(c.shownEfi, seen.efi) << c.efi;
  }
}

TEST_F(Form2Test, TheBoundsAreCheckedOnClosing) {
  struct Case {
    const char* ud;
    const char* efi;
    bool stored;
  };
  for (const Case& c : {Case{"10", "100", true}, Case{"4096", "60000", true}, Case{"9", "100", false},
                        Case{"4097", "100", false}, Case{"300", "99", false}, Case{"", "1032", false},
                        Case{"300", "", false}}) {
    f.Config("[Option]\r\nTitle=x\r\n");
    ASSERT_TRUE(f.Start());
    Store(c.ud, c.efi);
    if (c.stored) {
      EXPECT_FALSE(Refused()) << c.ud << " " << c.efi;
      EXPECT_EQ(c.ud, app::ReadCfg("UDSize", "Option"));
      EXPECT_EQ(c.efi, app::ReadCfg("EFISize", "Option"));
    } else {
      ASSERT_TRUE(Refused()) << c.ud << " " << c.efi;
      const ui::ShownMessage& box = f.window().Messages().back();
      EXPECT_EQ(LangString(62), box.text);
      EXPECT_EQ(LangString(39), box.title);
      EXPECT_EQ(os::kMbIconStop, box.style);
      EXPECT_EQ("[Option]\r\nTitle=x\r\n", f.ConfigFile());
    }
  }
}

TEST_F(Form2Test, AStoredSizeAboveTheUpperBoundIsShownButRefusedOnClosing) {
  f.Config("[Option]\r\nUDSize=5000\r\n");
  ASSERT_TRUE(f.Start());
  Open();
  EXPECT_EQ("5000", seen.ud);
  EXPECT_TRUE(Refused());
  EXPECT_EQ("[Option]\r\nUDSize=5000\r\n", f.ConfigFile());
}

TEST_F(Form2Test, TheFieldsTakeNoMoreDigitsThanTheSizesCanHave) {
  f.Config("[Option]\r\nTitle=x\r\n");
  ASSERT_TRUE(f.Start());
  Store("12345", "99999999999999999999");
  EXPECT_FALSE(Refused());
  EXPECT_EQ("1234", seen.ud);
  EXPECT_EQ("999999999", seen.efi);
  EXPECT_EQ("999999999", app::ReadCfg("EFISize", "Option"));
  // Typed over a selection the limit leaves room for the new digit.
  Open([&](ui::SizeDialogModel& d) {
    d.ClickField(C::kText1);
    Type(d, C::kText1, "4096");
  });
  EXPECT_EQ("4096", seen.ud);
}

TEST_F(Form2Test, AHugeStoredSizeIsShownInDecimalAndRefusedOnClosing) {
  f.Config("[Option]\r\nEFISize=99999999999999999999\r\nUDSize=512.5\r\n");
  ASSERT_TRUE(f.Start());
  Open();
  EXPECT_EQ("100000000000000000000", seen.efi);
  f.Config("[Option]\r\nEFISize=1234567890123456789\r\n");
  Open();
  EXPECT_EQ("1234567890123460000", seen.efi);
  f.Config("[Option]\r\nEFISize=99999999999999999999\r\nUDSize=512.5\r\n");
  Open();
  EXPECT_EQ("512.5", seen.ud);
  // The make could not take it: nothing is stored.
  EXPECT_TRUE(Refused());
  EXPECT_EQ("[Option]\r\nEFISize=99999999999999999999\r\nUDSize=512.5\r\n", f.ConfigFile());
}

TEST_F(Form2Test, LeadingZerosAreStoredAsTyped) {
  f.Config("[Option]\r\nTitle=x\r\n");
  ASSERT_TRUE(f.Start());
  Store("0300", "01032");
  EXPECT_FALSE(Refused());
  EXPECT_EQ("0300", app::ReadCfg("UDSize", "Option"));
  EXPECT_EQ("01032", app::ReadCfg("EFISize", "Option"));
}

TEST_F(Form2Test, OnlyDigitsAndBackspaceGetThroughAndPastingIsRefused) {
  f.Config("[Option]\r\nTitle=x\r\n");
  ASSERT_TRUE(f.Start());
  Open([&](ui::SizeDialogModel& d) {
    d.FireTimer();  // the whole UD text is selected: typing replaces it
    for (int c : {int{'a'}, int{'Z'}, int{'-'}, int{'.'}, int{'+'}, int{' '}, 22, 3, 24, 13, 9})
      EXPECT_FALSE(d.TypeChar(C::kText1, c)) << c;
    EXPECT_EQ("300", d.Text(C::kText1));
    EXPECT_TRUE(d.TypeChar(C::kText1, '7'));
    EXPECT_TRUE(d.TypeChar(C::kText1, '0'));
    EXPECT_TRUE(d.TypeChar(C::kText1, '0'));
    EXPECT_TRUE(d.TypeChar(C::kText1, 8));
    EXPECT_EQ("70", d.Text(C::kText1));
    EXPECT_FALSE(d.Paste(C::kText1, "123"));
    EXPECT_FALSE(d.Paste(C::kText2, "123"));
    EXPECT_EQ("70", d.Text(C::kText1));
    EXPECT_EQ("1032", d.Text(C::kText2));
  });
  EXPECT_EQ("70", app::ReadCfg("UDSize", "Option"));
}

TEST_F(Form2Test, TheTimerSelectsTheUdFieldOnceAndAClickSelectsAField) {
  f.Config("[Option]\r\nUDSize=512\r\n");
  ASSERT_TRUE(f.Start());
  Open([&](ui::SizeDialogModel& d) {
    EXPECT_TRUE(d.TimerEnabled());
    EXPECT_EQ(10u, d.TimerInterval());
    d.TypeChar(C::kText1, 8);  // the caret goes elsewhere before the timer
    d.FireTimer();
    EXPECT_FALSE(d.TimerEnabled());
    EXPECT_EQ(C::kText1, d.Focused());
    EXPECT_EQ(0, d.SelectionStart(C::kText1));
    EXPECT_EQ(static_cast<int>(d.Text(C::kText1).size()), d.SelectionLength(C::kText1));
    d.ClickField(C::kText2);
    EXPECT_EQ(C::kText2, d.Focused());
    EXPECT_EQ(4, d.SelectionLength(C::kText2));
    d.TypeChar(C::kText2, '2');
    d.TypeChar(C::kText2, '0');
    d.TypeChar(C::kText2, '0');
    EXPECT_EQ("200", d.Text(C::kText2));
  });
}

TEST_F(Form2Test, WithoutAUdLayoutTheUdRowIsOutOfSightYetStoredAndTheEfiFieldHasTheFocus) {
  f.Config("[Option]\r\nUDSize=5\r\nTwoPartEnable=1\r\n");
  ASSERT_TRUE(f.Start());
  f.window().SetListIndex(os::Control::kFsys, 2);  // DATA+UEFI
  Open([&](ui::SizeDialogModel& d) {
    for (C c : {C::kLabel1, C::kText1, C::kLabel11}) EXPECT_EQ(-500, d.Top(c));
    for (C c : {C::kLabel2, C::kText2, C::kLabel22}) EXPECT_FALSE(d.OutOfSight(c));
    EXPECT_EQ(C::kText2, d.Focused());
    d.FireTimer();
    EXPECT_EQ(C::kText2, d.Focused());
    // What is typed lands in the field that can be seen.
    for (char c : std::string("2048")) d.TypeChar(d.Focused(), c);
    EXPECT_EQ("300", d.Text(C::kText1));
  });
  EXPECT_TRUE(seen.udHidden);
  EXPECT_FALSE(Refused());
  EXPECT_EQ("300", app::ReadCfg("UDSize", "Option"));
  EXPECT_EQ("2048", app::ReadCfg("EFISize", "Option"));
}

TEST_F(Form2Test, WithTheUdLayoutBothRowsAreShown) {
  ASSERT_TRUE(f.Start());
  ASSERT_EQ(0u, f.window().ListText(os::Control::kFsys).rfind("UD+DATA+UEFI", 0));
  Open();
  EXPECT_FALSE(seen.udHidden);
}

}  // namespace
