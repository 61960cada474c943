#include "framework/data_exchange.h"

#include <gtest/gtest.h>

#include <cstdint>

#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework_fixture.h"
#include "test_dialogs.h"

namespace nuv::fw {
namespace {

TEST(ParseDecimal, TakesWholeNumbersWithinRange) {
  int32_t s = 0;
  uint32_t u = 0;
  EXPECT_TRUE(ParseDecimal("  -2147483648\t", s));
  EXPECT_EQ(s, INT32_MIN);
  EXPECT_TRUE(ParseDecimal("+17", s));
  EXPECT_EQ(s, 17);
  EXPECT_TRUE(ParseDecimal("4294967295", u));
  EXPECT_EQ(u, 4294967295u);
  EXPECT_TRUE(ParseDecimal("+0", u));
  EXPECT_EQ(u, 0u);
  for (const char* bad :
       {"", " ", "2147483648", "-2147483649", "12a", "0x10", "1 2", "+-1", "- 1", "++1", "1.5"}) {
    int32_t untouched = 99;
    EXPECT_FALSE(ParseDecimal(bad, untouched)) << bad;
    EXPECT_EQ(untouched, 99) << bad;
  }
  for (const char* bad : {"-1", "-0", "4294967296", "", "abc"}) {
    uint32_t untouched = 99;
    EXPECT_FALSE(ParseDecimal(bad, untouched)) << bad;
    EXPECT_EQ(untouched, 99u) << bad;
  }
}

class Probe : public Dialog {
 public:
  Probe() : Dialog(IDD_PROBE) {}
  void DoDataExchange(DataExchange& dx) override {
    DDX_Text(dx, IDC_TEXT, text);
    DDX_Text(dx, IDC_SIGNED, signed_value);
    DDX_Text(dx, IDC_UNSIGNED, unsigned_value);
    DDX_Text(dx, 999, missing);  // no such control: passed over
  }
  std::string text = "start";
  int32_t signed_value = -7;
  uint32_t unsigned_value = 4000000000u;
  std::string missing = "kept";
};

using DataExchangeTest = testing::FrameworkTest;

TEST_F(DataExchangeTest, FillsControlsAtInitialisationAndReadsThemBack) {
  Probe probe;
  ASSERT_TRUE(probe.Create(nullptr));
  EXPECT_EQ(probe.GetDlgItem(IDC_TEXT)->GetWindowText(), "start");
  EXPECT_EQ(probe.GetDlgItem(IDC_SIGNED)->GetWindowText(), "-7");
  EXPECT_EQ(probe.GetDlgItem(IDC_UNSIGNED)->GetWindowText(), "4000000000");

  probe.GetDlgItem(IDC_TEXT)->SetWindowText("new text");
  probe.GetDlgItem(IDC_SIGNED)->SetWindowText(" 2147483647 ");
  probe.GetDlgItem(IDC_UNSIGNED)->SetWindowText("0");
  EXPECT_TRUE(probe.UpdateData(true));
  EXPECT_EQ(probe.text, "new text");
  EXPECT_EQ(probe.signed_value, 2147483647);
  EXPECT_EQ(probe.unsigned_value, 0u);
  EXPECT_EQ(probe.missing, "kept");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(DataExchangeTest, ABadNumberIsRefusedWithTheFrameworksBoxAndStopsTheExchange) {
  Probe probe;
  ASSERT_TRUE(probe.Create(nullptr));
  probe.GetDlgItem(IDC_TEXT)->SetWindowText("taken");
  probe.GetDlgItem(IDC_SIGNED)->SetWindowText("twelve");
  probe.GetDlgItem(IDC_UNSIGNED)->SetWindowText("5");
  EXPECT_FALSE(probe.UpdateData(true));
  EXPECT_EQ(probe.text, "taken");                // exchanged before the bad one
  EXPECT_EQ(probe.signed_value, -7);             // left as it was
  EXPECT_EQ(probe.unsigned_value, 4000000000u);  // not reached
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"nuvhost: Please enter an integer."}));

  probe.GetDlgItem(IDC_SIGNED)->SetWindowText("1");
  probe.GetDlgItem(IDC_UNSIGNED)->SetWindowText("-5");
  EXPECT_FALSE(probe.UpdateData(true));
  EXPECT_EQ(probe.signed_value, 1);
  EXPECT_EQ(Boxes().back(), "nuvhost: Please enter a positive integer.");
  EXPECT_EQ(Boxes().size(), 2u);  // one box per failed exchange
}

}  // namespace
}  // namespace nuv::fw
