// The robot's own tests, against the sample dialog (tests/robot/sample_dialog.cpp)
// in a headless 64-bit prefix.
#include <gtest/gtest.h>

#include <memory>

#include "tests/e2e/Robot.h"

namespace {
using namespace vkp::e2e;

constexpr const char* kTitle = "VKP Robot Sample";
constexpr const char* kSampleWin = "C:\\vkp-sample\\vkp_robot_sample.exe";
constexpr unsigned kStatus = 1010;

class Robot : public testing::Test {
 protected:
  void SetUp() override {
    prefix_ = std::make_unique<WinePrefix>(PrefixOptions{"win64", "win10", {}});
    ASSERT_TRUE(prefix_->Ok()) << prefix_->Error();
    robot_ = std::make_unique<vkp::e2e::Robot>(*prefix_);
    ASSERT_TRUE(robot_->Ok());
    ASSERT_TRUE(prefix_->CopyIn(Config::Get().SampleExe(), kSampleWin));
  }

  // Starts the sample and waits for its window.
  std::unique_ptr<ProgramRun> StartSample(const std::string& tag) {
    auto run = std::make_unique<ProgramRun>(*prefix_, kSampleWin, "C:\\vkp-sample", tag);
    EXPECT_TRUE(run->Start());
    EXPECT_TRUE(robot_->WaitWindow(kTitle, 15000, true));
    return run;
  }

  std::unique_ptr<WinePrefix> prefix_;
  std::unique_ptr<vkp::e2e::Robot> robot_;
};

TEST_F(Robot, WaitWindowTimesOutOnMissingWindow) {
  const long long t0 = NowMs();
  const RunResult r = robot_->Do({"wait-window", "No Such Window", "300"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_GE(NowMs() - t0, 300);
}

TEST_F(Robot, ListsControlsWithClassStateAndText) {
  auto run = StartSample("controls");
  const std::vector<Control> controls = robot_->Controls(kTitle);
  auto find = [&](unsigned id) {
    for (const Control& c : controls)
      if (c.id == id) return c;
    ADD_FAILURE() << "no control " << id;
    return Control{};
  };
  EXPECT_EQ(find(1001).className, "Button");
  EXPECT_EQ(find(1001).text, "Press");
  EXPECT_EQ(find(1001).checked, -1);
  EXPECT_EQ(find(1002).checked, 1);
  EXPECT_EQ(find(1003).checked, 0);
  EXPECT_EQ(find(1005).className, "SysIPAddress32");
  EXPECT_EQ(find(1007).className, "ListBox");
  EXPECT_EQ(find(1008).className, "msctls_progress32");
  EXPECT_FALSE(find(1017).enabled);
  EXPECT_TRUE(find(1017).visible);
  EXPECT_EQ(find(kStatus).text, "ready");
}

TEST_F(Robot, ClickReachesTheProgramAndRefusesDisabledButtons) {
  auto run = StartSample("click");
  ASSERT_TRUE(robot_->Click(kTitle, 1001));
  ASSERT_TRUE(robot_->Click(kTitle, 1001));
  EXPECT_EQ(robot_->WaitControlText(kTitle, kStatus, "pressed 2", 3000), "pressed 2");
  EXPECT_EQ(robot_->Do({"click", kTitle, "1017"}).exitCode, 3);
  EXPECT_EQ(robot_->Do({"click", kTitle, "4242"}).exitCode, 2);
}

TEST_F(Robot, RadioTypeAndIpAddress) {
  auto run = StartSample("input");
  ASSERT_TRUE(robot_->Do({"radio", kTitle, "1003"}).ok());
  EXPECT_EQ(robot_->WaitControlText(kTitle, kStatus, "radio Beta", 3000), "radio Beta");
  EXPECT_EQ(robot_->FindControl(kTitle, 1002)->checked, 0);
  EXPECT_EQ(robot_->FindControl(kTitle, 1003)->checked, 1);
  ASSERT_TRUE(robot_->Do({"type", kTitle, "1004", "COM3 and more"}).ok());
  EXPECT_EQ(robot_->WaitControlText(kTitle, 1011, "edit=COM3 and more", 3000), "edit=COM3 and more");
  ASSERT_TRUE(robot_->Do({"ip", kTitle, "1005", "192.168.10.201"}).ok());
  ASSERT_TRUE(robot_->Click(kTitle, 1006));
  EXPECT_EQ(robot_->WaitControlText(kTitle, 1012, "ip=192.168.10.201 fields=4", 3000),
            "ip=192.168.10.201 fields=4");
  EXPECT_NE(robot_->Do({"ip", kTitle, "1005", "300.1.1.1"}).exitCode, 0);
}

TEST_F(Robot, CheckListToggleByKeyAndByClick) {
  auto run = StartSample("list");
  std::vector<ListRow> rows = robot_->List(kTitle, 1007);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].text, "Printer B");
  for (const ListRow& r : rows) EXPECT_EQ(r.data, 1u) << r.text;
  ASSERT_TRUE(robot_->Do({"toggle", kTitle, "1007", "1"}).ok());
  EXPECT_EQ(robot_->WaitControlText(kTitle, 1013, "row 1=unchecked", 3000), "row 1=unchecked");
  ASSERT_TRUE(robot_->Do({"click-row", kTitle, "1007", "2"}).ok());
  EXPECT_EQ(robot_->WaitControlText(kTitle, 1013, "row 2=unchecked", 3000), "row 2=unchecked");
  rows = robot_->List(kTitle, 1007);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].data, 1u);
  EXPECT_EQ(rows[1].data, 0u);
  EXPECT_EQ(rows[2].data, 0u);
  EXPECT_TRUE(rows[2].selected);
  ASSERT_TRUE(robot_->Do({"toggle", kTitle, "1007", "1"}).ok());
  EXPECT_EQ(robot_->WaitControlText(kTitle, 1013, "row 1=checked", 3000), "row 1=checked");
  EXPECT_EQ(robot_->List(kTitle, 1007)[1].data, 1u);
}

TEST_F(Robot, SystemMenuCloseAndEscapeWhileBusy) {
  auto run = StartSample("busy");
  EXPECT_EQ(robot_->SysmenuHasClose(kTitle), std::optional<bool>(true));
  ASSERT_TRUE(robot_->Do({"radio", kTitle, "1014"}).ok());  // BM_CLICK on the check box
  ASSERT_EQ(robot_->WaitControlText(kTitle, kStatus, "busy", 3000), "busy");
  EXPECT_EQ(robot_->SysmenuHasClose(kTitle), std::optional<bool>(false));
  ASSERT_TRUE(robot_->Do({"key", kTitle, "27"}).ok());
  EXPECT_EQ(robot_->WaitControlText(kTitle, kStatus, "busy, Escape kept", 3000), "busy, Escape kept");
  EXPECT_FALSE(run->ExitCode().has_value()) << "Escape ended the dialog while busy";
  ASSERT_TRUE(robot_->Do({"radio", kTitle, "1014"}).ok());
  ASSERT_EQ(robot_->WaitControlText(kTitle, kStatus, "idle", 3000), "idle");
  EXPECT_EQ(robot_->SysmenuHasClose(kTitle), std::optional<bool>(true));
  ASSERT_TRUE(robot_->Do({"key", kTitle, "27"}).ok());
  EXPECT_EQ(run->WaitExit(10000), std::optional<unsigned long>(2));
}

TEST_F(Robot, CloseCommand) {
  auto run = StartSample("close");
  ASSERT_TRUE(robot_->Do({"close", kTitle}).ok());
  EXPECT_EQ(run->WaitExit(10000), std::optional<unsigned long>(2));
}

TEST_F(Robot, AnswersMessageBoxAndReadsItsText) {
  auto run = StartSample("answer");
  ASSERT_TRUE(robot_->Click(kTitle, 1015));
  EXPECT_EQ(robot_->Answer("Sample Question", 7 /* IDNO */, 10000),
            std::optional<std::string>("Continue the sample?"));
  EXPECT_EQ(robot_->WaitControlText(kTitle, kStatus, "answer=NO", 3000), "answer=NO");
  ASSERT_TRUE(robot_->Click(kTitle, 1015));
  EXPECT_EQ(robot_->Answer("Sample Question", 6 /* IDYES */, 10000),
            std::optional<std::string>("Continue the sample?"));
  EXPECT_EQ(robot_->WaitControlText(kTitle, kStatus, "answer=YES", 3000), "answer=YES");
  EXPECT_NE(robot_->Do({"answer", "No Such Box", "1", "200"}).exitCode, 0);
}

TEST_F(Robot, ForegroundIsTheNewestDialog) {
  auto run = StartSample("fg");
  EXPECT_EQ(robot_->Foreground(), std::optional<std::string>(kTitle));
  ASSERT_TRUE(robot_->Click(kTitle, 1015));
  ASSERT_TRUE(robot_->WaitWindow("Sample Question", 10000, true));
  EXPECT_EQ(robot_->Foreground(), std::optional<std::string>("Sample Question"));
  EXPECT_TRUE(robot_->Answer("Sample Question", 6, 5000).has_value());
}

TEST_F(Robot, LaunchReportsFull32BitExitCodes) {
  auto done = StartSample("done");
  ASSERT_TRUE(robot_->Click(kTitle, 1));  // Done
  EXPECT_EQ(done->WaitExit(10000), std::optional<unsigned long>(1603));
  auto failed = StartSample("fail");
  ASSERT_TRUE(robot_->Click(kTitle, 1016));
  EXPECT_EQ(failed->WaitExit(10000), std::optional<unsigned long>(4294967295UL));
}

}  // namespace
