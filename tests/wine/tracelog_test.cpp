#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/Os.h"
#include "support/TraceLog.h"
#include "tests/seam/FakeOs.h"
#include "tests/wine/TestProgram.h"

namespace vkp {
namespace {

using test::FakeOs;

std::string TempFolder() {
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, MAX_PATH);
  return std::string(windows, 3) + "Temp";
}

std::string WindowsTempLog() {
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, MAX_PATH);
  return std::string(windows) + "\\Temp\\VKP-M200_Installer.txt";
}

// The trace folder stays held until the next initialisation: one that can
// open neither folder holds none.
void LetGoOfTheTraceFolder() {
  FakeOs os;
  os.FailNth("CreateFileA", 0, ERROR_ACCESS_DENIED);  // every call
  InitTraceLog();
}

class TraceLogTest : public ::testing::Test {
 protected:
  void SetUp() override { test::SetTraceLogFileName("VKP-M200_Installer.txt"); }
};

TEST_F(TraceLogTest, PathIsTempAtTheWindowsDriveRootWithTheDoubledBackslash) {
  InitTraceLog();
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_EQ(std::string(TraceLogPath()), std::string(windows, 3) + "\\Temp\\VKP-M200_Installer.txt");
}

TEST_F(TraceLogTest, CreatesTheTempFolderWhenMissing) {
  const std::string temp = TempFolder();
  // Empty the folder first so that it can go.
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((temp + "\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileA((temp + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  LetGoOfTheTraceFolder();
  RemoveDirectoryA(temp.c_str());
  ASSERT_FALSE(test::FileExists(temp));
  InitTraceLog();
  EXPECT_TRUE(test::FileExists(temp));
  WriteTraceLog("first");
  EXPECT_NE(test::ReadTraceLog().find("first\r\n"), std::string::npos);
}

TEST_F(TraceLogTest, DeletesThePreviousRunsLogAndKeepsTheOtherProgramsLog) {
  CreateDirectoryA(TempFolder().c_str(), nullptr);
  const std::string own = TempFolder() + "\\VKP-M200_UnInstaller.txt";
  const std::string other = TempFolder() + "\\VKP-M200_Installer.txt";
  test::WriteFileText(own, "previous run\r\n");
  test::WriteFileText(other, "installer's log\r\n");

  test::SetTraceLogFileName("VKP-M200_UnInstaller.txt");
  EXPECT_TRUE(InitTraceLog());
  EXPECT_FALSE(test::FileExists(own));
  EXPECT_EQ(test::ReadFileText(other), "installer's log\r\n");
  EXPECT_FALSE(InitTraceLog()) << "nothing left to delete";
}

TEST_F(TraceLogTest, EntriesCarryTheLocalTimeStampAndEndWithCrLf) {
  InitTraceLog();
  FakeOs os;
  os.SetLocalTime(9, 5, 7);
  WriteTraceLog("\r\n");
  WriteTraceLog("CheckOS BEGIN");
  WriteTraceLog("strDest : %s (%d) %u", "C:\\x", -1, 7u);
  os.SetLocalTime(23, 59, 59);
  WriteTraceLog("late");
  EXPECT_EQ(test::ReadTraceLog(),
            "09:05:07: \r\n\r\n"
            "09:05:07: CheckOS BEGIN\r\n"
            "09:05:07: strDest : C:\\x (-1) 7\r\n"
            "23:59:59: late\r\n");
}

TEST_F(TraceLogTest, EachEntryIsOneWriteAppendedAtTheEnd) {
  InitTraceLog();
  FakeOs os;
  WriteTraceLog("one");
  EXPECT_EQ(os.CallNames(), (std::vector<std::string>{"GetLocalTime", "CreateFileA", "GetFileInformationByHandle",
                                                      "SetFilePointer", "WriteFile", "CloseHandle"}));
  const auto open = os.CallsOf("CreateFileA").at(0);
  EXPECT_EQ(open.args.at(1), std::to_string(GENERIC_READ | GENERIC_WRITE));
  EXPECT_EQ(open.args.at(2), std::to_string(FILE_SHARE_READ | FILE_SHARE_WRITE));
  EXPECT_EQ(open.args.at(4), std::to_string(OPEN_ALWAYS));
  EXPECT_EQ(open.args.at(5), std::to_string(FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT)) << "a link is not followed";
  EXPECT_EQ(os.CallsOf("SetFilePointer").at(0).args.at(3), std::to_string(FILE_END));
}

TEST_F(TraceLogTest, LongTextIsCutAt1013CharactersAndTheNextEntryStartsOnANewLine) {
  InitTraceLog();
  const std::string text(3000, 'x');
  WriteTraceLog("%s", text.c_str());
  WriteTraceLog("next");
  const std::string log = test::ReadTraceLog();
  const auto firstEnd = log.find("\r\n");
  ASSERT_NE(firstEnd, std::string::npos);
  EXPECT_EQ(firstEnd, 10u + 1013u);
  EXPECT_EQ(log.substr(firstEnd + 2 + 10), "next\r\n");
}

TEST_F(TraceLogTest, NothingIsWrittenBeforeInitialisationOrWhenTheFileCannotBeOpened) {
  InitTraceLog();
  FakeOs os;
  os.FailNth("CreateFileA", 1, ERROR_SHARING_VIOLATION);
  WriteTraceLog("lost");
  WriteTraceLog("kept");
  EXPECT_EQ(os.CountOf("WriteFile"), 1);
  EXPECT_EQ(test::ReadTraceLog().find("lost"), std::string::npos);
  EXPECT_NE(test::ReadTraceLog().find("kept"), std::string::npos);
}

TEST_F(TraceLogTest, ALogFileWithASecondNameIsNeitherWrittenNorWrittenThrough) {
  InitTraceLog();
  const std::string log = TraceLogPath();
  const std::string victim = TempFolder() + "\\victim.txt";
  test::WriteFileText(victim, "precious\r\n");
  ASSERT_TRUE(CreateHardLinkA(log.c_str(), victim.c_str(), nullptr));
  WriteTraceLog("through the link");
  WriteTraceLog("nor later");
  EXPECT_EQ(test::ReadFileText(victim), "precious\r\n");
  DeleteFileA(log.c_str());
  DeleteFileA(victim.c_str());
}

TEST_F(TraceLogTest, AReparsePointAsLogFileEndsTracingForTheRun) {
  DeleteFileA((TempFolder() + "\\VKP-M200_Installer.txt").c_str());
  {
    FakeOs os;
    int calls = 0;  // the folder's check, then the first entry's file check
    os.Replace<&PlatformApi::GetFileInformationByHandle>(
        [&calls, real = RealOs().GetFileInformationByHandle](HANDLE handle, LPBY_HANDLE_FILE_INFORMATION info) {
          const BOOL ok = real(handle, info);
          if (++calls == 2) info->dwFileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
          return ok;
        });
    InitTraceLog();
    WriteTraceLog("through the link");
    WriteTraceLog("nor later");
    EXPECT_EQ(os.CountOf("WriteFile"), 0);
  }
  EXPECT_EQ(test::ReadFileText(TempFolder() + "\\VKP-M200_Installer.txt"), "");
  InitTraceLog();
}

// A link in the place of C:\Temp, or a C:\Temp some ordinary user made, is
// passed over for the system's own Temp folder, and the first entry says so.
TEST_F(TraceLogTest, AnUntrustedTempFolderIsPassedOverForTheWindowsTempFolder) {
  for (const char* refusal : {"a link", "an ordinary user's"}) {
    SCOPED_TRACE(refusal);
    DeleteFileA((TempFolder() + "\\VKP-M200_Installer.txt").c_str());
    {
      FakeOs os;
      if (std::string(refusal) == "a link")
        os.Replace<&PlatformApi::GetFileInformationByHandle>(
            [calls = 0, real = RealOs().GetFileInformationByHandle](HANDLE handle,
                                                                     LPBY_HANDLE_FILE_INFORMATION info) mutable {
              const BOOL ok = real(handle, info);
              if (++calls == 1) info->dwFileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
              return ok;
            });
      else
        os.FailNth("GetSecurityInfo", 1, ERROR_ACCESS_DENIED);  // C:\\Temp's owner cannot be read
      InitTraceLog();
      WriteTraceLog("next");
    }
    EXPECT_EQ(std::string(TraceLogPath()), WindowsTempLog());
    const std::string log = test::ReadFileText(WindowsTempLog());
    const std::string composedTemp = TempFolder().insert(2, "\\");  // with the doubled backslash the program composes
    EXPECT_NE(log.find("TRACE FOLDER : " + WindowsTempLog().substr(0, WindowsTempLog().rfind('\\')) + " (" +
                       composedTemp + " is a link or an ordinary user's)\r\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("next\r\n"), std::string::npos);
    EXPECT_FALSE(test::FileExists(TempFolder() + "\\VKP-M200_Installer.txt"));
  }
  InitTraceLog();
  DeleteFileA(WindowsTempLog().c_str());
}

// The folder checked is the folder written to for the whole run: it can be
// neither renamed (and replaced by a link) nor deleted meanwhile.
TEST_F(TraceLogTest, TheTraceFolderCannotBeSwappedDuringTheRun) {
  InitTraceLog();
  const std::string moved = TempFolder() + "Moved";
  EXPECT_FALSE(MoveFileA(TempFolder().c_str(), moved.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_FALSE(RemoveDirectoryA(TempFolder().c_str()));
  WriteTraceLog("still here");
  EXPECT_NE(test::ReadFileText(TempFolder() + "\\VKP-M200_Installer.txt").find("still here\r\n"), std::string::npos);
  RemoveDirectoryA(moved.c_str());
}

TEST_F(TraceLogTest, TheLogSwitchGetsTheSameEntriesFromAFreshStart) {
  const std::string second = TempFolder() + "\\second.log";
  test::WriteFileText(second, "previous run\r\n");
  SetSecondTraceLog(second.c_str());
  InitTraceLog();
  WriteTraceLog("one");
  WriteTraceLog("two %d", 2);
  SetSecondTraceLog(nullptr);
  WriteTraceLog("only in the trace");
  const std::string copy = test::ReadFileText(second);
  EXPECT_NE(copy.find("two 2\r\n"), std::string::npos) << "[" << copy << "] trace: " << test::ReadTraceLog();
  EXPECT_EQ(test::ReadTraceLog().rfind(copy, 0), 0u) << "the same entries, byte for byte";
  EXPECT_EQ(copy.find("previous"), std::string::npos);
  EXPECT_EQ(copy.find("only in the trace"), std::string::npos);
  DeleteFileA(second.c_str());
}

TEST_F(TraceLogTest, EntriesOfTwoThreadsNeverMixInsideALine) {
  InitTraceLog();
  auto writer = [](char tag) {
    const std::string text(200, tag);
    for (int i = 0; i < 300; ++i) WriteTraceLog("%s", text.c_str());
  };
  std::thread a(writer, 'a');
  std::thread b(writer, 'b');
  a.join();
  b.join();
  const std::string log = test::ReadTraceLog();
  int lines = 0;
  std::size_t pos = 0;
  while (pos < log.size()) {
    const auto end = log.find("\r\n", pos);
    ASSERT_NE(end, std::string::npos);
    const std::string body = log.substr(pos + 10, end - pos - 10);
    ASSERT_EQ(body.size(), 200u);
    EXPECT_TRUE(body == std::string(200, 'a') || body == std::string(200, 'b')) << body;
    ++lines;
    pos = end + 2;
  }
  EXPECT_EQ(lines, 600);
}

}  // namespace
}  // namespace vkp
