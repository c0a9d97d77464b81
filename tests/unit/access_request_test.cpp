#include "support/pure/AccessRequest.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/pure/TextCompare.h"

namespace vkp {
namespace {

// ---- option field ----

struct OptionRow {
  const char* field;
  std::uint32_t result;
  AccessMode mode;
};

class AccessOptionTable : public ::testing::TestWithParam<OptionRow> {};

TEST_P(AccessOptionTable, ChoosesTheModeOfItsRow) {
  const OptionRow& row = GetParam();
  AccessMode mode = AccessMode::Grant;
  EXPECT_EQ(ParseAccessOption(row.field, mode), row.result) << row.field;
  EXPECT_EQ(mode, row.mode) << row.field;
}

INSTANTIATE_TEST_SUITE_P(
    EveryOption, AccessOptionTable,
    ::testing::Values(OptionRow{"/PD", kAccessOk, AccessMode::Deny},
                      OptionRow{"/PG", kAccessOk, AccessMode::Grant},
                      OptionRow{"/PR", kAccessOk, AccessMode::Revoke},
                      OptionRow{"/PS", kAccessOk, AccessMode::Set},
                      OptionRow{"/pg", kAccessOk, AccessMode::Grant},
                      OptionRow{"-pd", kAccessOk, AccessMode::Deny},  // first character not examined
                      OptionRow{"/PX", kAccessInvalidParameter, AccessMode::NotUsed},
                      OptionRow{"/P", kAccessInvalidParameter, AccessMode::NotUsed},
                      OptionRow{"/QG", kAccessOk, AccessMode::NotUsed},
                      OptionRow{"/", kAccessOk, AccessMode::NotUsed},
                      OptionRow{"", kAccessOk, AccessMode::NotUsed}));

// ---- rights field ----

struct RightsRow {
  const char* field;
  std::uint32_t mask;
  std::uint32_t result;
};

class AccessRightsTable : public ::testing::TestWithParam<RightsRow> {};

TEST_P(AccessRightsTable, GivesTheMaskAndResultOfItsRow) {
  const RightsRow& row = GetParam();
  std::uint32_t mask = 0xDEADBEEF;
  EXPECT_EQ(ParseAccessRights(row.field, mask), row.result) << row.field;
  EXPECT_EQ(mask, row.mask) << row.field;
}

INSTANTIATE_TEST_SUITE_P(
    EveryCode, AccessRightsTable,
    ::testing::Values(RightsRow{"Fc", 0xF003F, kAccessOk},
                      RightsRow{"Rd", 0x20019, kAccessOk},
                      RightsRow{"Wr", 0x20026, kAccessOk},
                      RightsRow{"fc", 0xF003F, kAccessOk},
                      RightsRow{"FcRd", 0xF003F, kAccessOk},
                      RightsRow{"RdWr", 0x2003F, kAccessOk},
                      RightsRow{"Xy", 0, kAccessInvalidParameter},
                      RightsRow{"RdXyWr", 0x2003F, kAccessInvalidParameter},  // goes on after it
                      RightsRow{"Fcr", 0, kAccessInvalidParameter},           // odd length
                      RightsRow{"", 0, kAccessOk}));

TEST(AccessRights, FieldBeyondTheWorkBufferIsCutToOddLengthAndGivesNoMask) {
  std::string field;
  for (int i = 0; i < 300; ++i) field += "Rd";  // 600 characters, cut to 511
  std::uint32_t mask = 1;
  EXPECT_EQ(ParseAccessRights(field.c_str(), mask), kAccessInvalidParameter);
  EXPECT_EQ(mask, 0u);
}

TEST(AccessRights, FieldThatFitsTheWorkBufferIsReadWhole) {
  std::string field;
  for (int i = 0; i < 254; ++i) field += "Rd";
  field += "Wr";  // 510 characters: the last pair is still read
  std::uint32_t mask = 0;
  EXPECT_EQ(ParseAccessRights(field.c_str(), mask), kAccessOk);
  EXPECT_EQ(mask, 0x2003Fu);
}

// ---- whole override text ----

// Parses `text`, which must succeed, and checks the entry's mode, trustee
// (unless null) and mask.
void ExpectEntry(const char* text, AccessMode mode, const char* trustee, std::uint32_t mask) {
  AccessRequest request;
  ASSERT_EQ(ParseAccessRequest(text, request), kAccessOk) << text;
  EXPECT_EQ(request.mode, mode) << text;
  if (trustee != nullptr) {
    EXPECT_EQ(request.trustee, trustee) << text;
  }
  EXPECT_EQ(request.mask, mask) << text;
}

TEST(AccessRequestParse, GrantEveryoneFullControl) {
  ExpectEntry("/PG:Everyone:Fc", AccessMode::Grant, "Everyone", 0xF003Fu);
}

TEST(AccessRequestParse, LowerCaseTextGivesTheSameEntry) {
  ExpectEntry("/pg:Everyone:fc", AccessMode::Grant, "Everyone", 0xF003Fu);
}

TEST(AccessRequestParse, RightsFieldIsTheWholeRestAndItsOwnResultIsIgnored) {
  AccessRequest request;
  EXPECT_EQ(ParseAccessRequest("/PS:Users:Rd:W", request), kAccessOk);  // ":W" is an unknown pair
  EXPECT_EQ(request.mode, AccessMode::Set);
  EXPECT_EQ(request.mask, 0x20019u);
  EXPECT_EQ(ParseAccessRequest("/PD:Guests:Xy", request), kAccessOk);
  EXPECT_EQ(request.mode, AccessMode::Deny);
  EXPECT_EQ(request.mask, 0u);
  EXPECT_EQ(ParseAccessRequest("/PG:Guests:Fcx", request), kAccessOk);
  EXPECT_EQ(request.mask, 0u);
}

TEST(AccessRequestParse, RefusedTexts) {
  const char* refused[] = {
      "/PX:Everyone:Fc",  // unknown option
      "/PG",              // no trustee
      "/PG:",             // empty trustee
      "/PG:Everyone",     // grant without rights
      "/PG:Everyone:",    // empty rights
      "/PS:Everyone",
      "/PD:Everyone:",
  };
  for (const char* text : refused) {
    AccessRequest request;
    request.trustee = "stale";
    EXPECT_EQ(ParseAccessRequest(text, request), kAccessInvalidParameter) << text;
    EXPECT_TRUE(request.trustee.empty()) << text;
  }
  AccessRequest request;
  EXPECT_EQ(ParseAccessRequest(nullptr, request), kAccessInvalidParameter);
}

TEST(AccessRequestParse, RevokeNeedsNoRights) {
  ExpectEntry("/PR:Everyone", AccessMode::Revoke, "Everyone", 0u);
  AccessRequest request;
  ASSERT_EQ(ParseAccessRequest("/PR:Everyone:Fc", request), kAccessOk);  // rights not read
  EXPECT_EQ(request.mask, 0u);
}

TEST(AccessRequestParse, NotUsedModeForANonPOption) {
  ExpectEntry("/XG:Everyone", AccessMode::NotUsed, nullptr, 0u);
}

TEST(AccessRequestParse, CallersTextStaysUnchangedOverTwoCalls) {
  char text[] = "/PG:Everyone:Fc";
  char copy[sizeof text];
  std::memcpy(copy, text, sizeof text);
  for (int call = 0; call < 2; ++call) {
    AccessRequest request;
    ASSERT_EQ(ParseAccessRequest(text, request), kAccessOk) << "call " << call;
    EXPECT_EQ(request.trustee, "Everyone") << "call " << call;
    EXPECT_EQ(request.mask, 0xF003Fu) << "call " << call;
    EXPECT_EQ(std::memcmp(text, copy, sizeof text), 0) << "call " << call;
  }
}

// ---- key paths ----

struct PathRow {
  const char* path;
  std::uint32_t result;
  const char* machine;
  RootKey root;
  const char* subKey;
};

class KeyPathTable : public ::testing::TestWithParam<PathRow> {};

TEST_P(KeyPathTable, SplitsAsItsRowSays) {
  const PathRow& row = GetParam();
  KeyPath path;
  path.machine = "stale";
  path.subKey = "stale";
  EXPECT_EQ(ParseKeyPath(row.path, path), row.result) << row.path;
  EXPECT_EQ(path.machine, row.machine) << row.path;
  EXPECT_EQ(path.root, row.root) << row.path;
  EXPECT_EQ(path.subKey, row.subKey) << row.path;
}

const char kUsbPrint[] = "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\NORVEKA_VKP-M200";

// A path of this machine's registry, and a refused one.
PathRow Local(const char* path, RootKey root, const char* subKey) { return {path, kAccessOk, "", root, subKey}; }
PathRow Refused(const char* path) { return {path, kAccessInvalidParameter, "", RootKey::None, ""}; }

INSTANTIATE_TEST_SUITE_P(
    EveryForm, KeyPathTable,
    ::testing::Values(
        Local("HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\NORVEKA_VKP-M200", RootKey::LocalMachine, kUsbPrint),
        Local("hklm\\Software\\X", RootKey::LocalMachine, "Software\\X"),
        Local("HKEY_LOCAL_MACHINE\\Software", RootKey::LocalMachine, "Software"),
        Local("HKLM", RootKey::LocalMachine, ""), Local("HKLM\\", RootKey::LocalMachine, ""),
        Local("HKEY_USERS\\.DEFAULT", RootKey::Users, ".DEFAULT"), Local("HKU", RootKey::Users, ""),
        Local("HKCR\\.txt", RootKey::ClassesRoot, ".txt"), Local("hkey_classes_root", RootKey::ClassesRoot, ""),
        Local("HKCU\\Software", RootKey::CurrentUser, "Software"), Local("HKEY_CURRENT_USER", RootKey::CurrentUser, ""),
        PathRow{"\\\\server\\HKLM\\Software\\X", kAccessOk, "\\\\server", RootKey::LocalMachine,
                "Software\\X"},
        PathRow{"\\\\server\\hku", kAccessOk, "\\\\server", RootKey::Users, ""},
        Refused("\\\\server\\HKCU\\Software"), Refused("\\\\server\\HKCR"), Refused("\\\\server"),
        Refused("HKXX\\Software"), Refused("HKLMX\\Software"), Refused("HKL"), Refused("")));

TEST(KeyPath, NullPathIsRefused) {
  KeyPath path;
  EXPECT_EQ(ParseKeyPath(nullptr, path), kAccessInvalidParameter);
}

TEST(KeyPath, PathBeyondTheWorkBufferIsCutAt511Characters) {
  const std::string subKey(600, 'k');
  KeyPath path;
  ASSERT_EQ(ParseKeyPath(("HKLM\\" + subKey).c_str(), path), kAccessOk);
  EXPECT_EQ(path.subKey, std::string(511 - 5, 'k'));
}

TEST(KeyPath, RootNameCutByTheWorkBufferIsUnknown) {
  // 511 characters of a root-name-like text without any backslash.
  const std::string text = "HKLM" + std::string(600, 'M');
  KeyPath path;
  EXPECT_EQ(ParseKeyPath(text.c_str(), path), kAccessInvalidParameter);
}

TEST(KeyPath, MapRootNameIsWholeWordAndCaseBlind) {
  EXPECT_EQ(MapRootName("HkEy_UsErS"), RootKey::Users);
  EXPECT_EQ(MapRootName("hkcu"), RootKey::CurrentUser);
  EXPECT_EQ(MapRootName("HKCU "), RootKey::None);
  EXPECT_EQ(MapRootName(""), RootKey::None);
  EXPECT_EQ(MapRootName(nullptr), RootKey::None);
}

// ---- case-blind compare of a fixed length ----

TEST(TextCompare, FirstNCharactersDecide) {
  const char prefix[] = "USB\\Vid_6E2D&Pid_0D41";
  ASSERT_EQ(std::strlen(prefix), 21u);
  EXPECT_TRUE(EqualNoCaseN("USB\\VID_6E2D&PID_0D41&REV_0100", prefix, 21));
  EXPECT_TRUE(EqualNoCaseN("usb\\vid_6e2d&pid_0d41", prefix, 21));
  EXPECT_FALSE(EqualNoCaseN("USB\\VID_6E2D&PID_0D42&REV_0100", prefix, 21));
  EXPECT_FALSE(EqualNoCaseN("USB\\VID_6E2D&PID_0D4", prefix, 21));  // shorter id
  EXPECT_FALSE(EqualNoCaseN("", prefix, 21));
  EXPECT_TRUE(EqualNoCaseN("USB\\VID_6E2D&PID_0D41XYZ", "USB\\VID_6E2D&PID_0D41ABC", 21));
  EXPECT_TRUE(EqualNoCaseN("ab", "AB", 21));  // both end before n
  EXPECT_FALSE(EqualNoCaseN("ab", "abc", 21));
}

TEST(TextCompare, NeverReadsPastN) {
  // Unterminated arrays of exactly n characters: ASan reports any read beyond.
  const char a[21] = {'U', 'S', 'B', '\\', 'V', 'I', 'D', '_', '6', 'E', '2',
                      'D', '&', 'P', 'I', 'D', '_', '0', 'D', '4', '1'};
  const char b[21] = {'u', 's', 'b', '\\', 'v', 'i', 'd', '_', '6', 'e', '2',
                      'd', '&', 'p', 'i', 'd', '_', '0', 'd', '4', '1'};
  EXPECT_TRUE(EqualNoCaseN(a, b, sizeof a));
}

TEST(TextCompare, WholeText) {
  EXPECT_TRUE(EqualNoCase("HKLM", "hklm"));
  EXPECT_FALSE(EqualNoCase("HKLM", "HKLM2"));
  EXPECT_FALSE(EqualNoCase("[", "{"));  // no folding outside the letters
}

}  // namespace
}  // namespace vkp
