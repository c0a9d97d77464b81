#include "support/OsClassification.h"

#include <gtest/gtest.h>

namespace vkp {
namespace {

struct OsRow {
  unsigned platform, major, minor, product;
  int code;
};

class OsClassificationTable : public ::testing::TestWithParam<OsRow> {};

TEST_P(OsClassificationTable, GivesTheCodeOfItsRow) {
  const OsRow& r = GetParam();
  EXPECT_EQ(ClassifyOs(r.platform, r.major, r.minor, r.product), r.code)
      << "platform " << r.platform << " " << r.major << "." << r.minor << " type " << r.product;
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, OsClassificationTable,
    ::testing::Values(
        OsRow{1, 4, 0, 0, 2000}, OsRow{1, 4, 10, 0, 2001}, OsRow{1, 4, 90, 0, 2002},
        OsRow{1, 4, 20, 0, 2010},   // unknown 9x minor
        OsRow{1, 5, 0, 0, 2010},    // 9x family with another major
        OsRow{2, 3, 51, 1, 2003},   // NT 3.51
        OsRow{2, 4, 0, 1, 2003},    // NT 4.0
        OsRow{2, 5, 0, 1, 2004}, OsRow{2, 5, 0, 3, 2004},
        OsRow{2, 5, 1, 1, 2005},
        OsRow{2, 5, 2, 1, 2006},    // XP x64
        OsRow{2, 5, 2, 3, 2006},    // Server 2003
        OsRow{2, 5, 3, 1, 2010},
        OsRow{2, 6, 0, 1, 2007},    // Vista
        OsRow{2, 6, 0, 2, 2008},    // Server 2008, domain controller
        OsRow{2, 6, 0, 3, 2008},    // Server 2008
        OsRow{2, 6, 1, 1, 2010},    // Windows 7
        OsRow{2, 6, 1, 3, 2009},    // Server 2008 R2
        OsRow{2, 6, 2, 1, 2010}, OsRow{2, 6, 3, 1, 2010}, OsRow{2, 10, 0, 1, 2010},
        OsRow{0, 0, 0, 0, 2010},    // failed query: record left zeroed
        OsRow{3, 6, 1, 1, 2010}));  // unknown platform id

}  // namespace
}  // namespace vkp
