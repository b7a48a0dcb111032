#include "ftp/data_connection/data_port.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

TEST(DataPortTest, TransferTypeLetter) {
  EXPECT_EQ(TransferTypeCode(0), "A");
  EXPECT_EQ(TransferTypeCode(1), "I");
  EXPECT_EQ(TransferTypeCode(7), "I");
  EXPECT_EQ(TransferTypeCode(-1), "I");
}

TEST(DataPortTest, FirstPortInRangeThenConsecutive) {
  EXPECT_EQ(NextDataPort(0, 0.0), 20000);
  EXPECT_EQ(NextDataPort(0, 0.99999), 40001);
  EXPECT_EQ(NextDataPort(0, 0.5), 30001);
  EXPECT_EQ(NextDataPort(31000, 0.7), 31001);
}

TEST(DataPortTest, WrapsInsideValidRange) {
  EXPECT_EQ(NextDataPort(65534, 0.1), 65535);
  EXPECT_EQ(NextDataPort(65535, 0.1), 20000);
}

TEST(DataPortTest, PasvReplyGivesPortOnly) {
  EXPECT_EQ(PasvReplyPort("227 Entering Passive Mode (10,0,0,7,195,80)."), 50000);
  EXPECT_EQ(PasvReplyPort("227 =(127,0,0,1, 4, 1)"), 1025);
}

TEST(DataPortTest, BadPasvRepliesAreRefused) {
  for (const char* reply : {"227 Entering Passive Mode", "227 (1,2,3,4,5)", "227 (1,2,3,4,5,6,7)",
                            "227 (1,2,3,4,256,1)", "227 (a,b,c,d,e,f)", "227 (1,2,3,4,0,0)",
                            "227 )1,2,3,4,5,6(", "227 (1,2,3,4,-1,5)"}) {
    EXPECT_FALSE(PasvReplyPort(reply).has_value()) << reply;
  }
}

TEST(DataPortTest, PortArgument) {
  EXPECT_EQ(PortArgument("192.168.1.5", 20481), "192,168,1,5,80,1");
  EXPECT_EQ(PortArgument("127.0.0.1", 40001), "127,0,0,1,156,65");
}

}  // namespace
}  // namespace tarvik
