#include <gtest/gtest.h>

#include <string>

#include "platform/com/guid.h"
#include "platform/com/status.h"

namespace tarvik::platform::com {
namespace {

constexpr Guid kSample = MakeGuid("{2CB8B2CC-DF09-43A6-8C13-0A8A6692FD02}");
static_assert(kSample.data1 == 0x2CB8B2CC && kSample.data2 == 0xDF09 && kSample.data3 == 0x43A6);
static_assert(kSample.data4[0] == 0x8C && kSample.data4[7] == 0x02);

TEST(GuidTest, FormatsInRegistryForm) {
  EXPECT_EQ(kSample.ToString(), "{2CB8B2CC-DF09-43A6-8C13-0A8A6692FD02}");
  EXPECT_EQ(Guid{}.ToString(), "{00000000-0000-0000-0000-000000000000}");
}

TEST(GuidTest, ParsesEitherCaseAndRoundTrips) {
  const auto lower = Guid::Parse("{2cb8b2cc-df09-43a6-8c13-0a8a6692fd02}");
  ASSERT_TRUE(lower.has_value());
  EXPECT_EQ(*lower, kSample);
  EXPECT_EQ(Guid::Parse(kSample.ToString()), kSample);
}

TEST(GuidTest, RefusesMalformedText) {
  const char* const kMalformed[] = {
      "",
      "2CB8B2CC-DF09-43A6-8C13-0A8A6692FD02",     // no braces
      "{2CB8B2CC-DF09-43A6-8C13-0A8A6692FD02",    // no closing brace
      "{2CB8B2CC-DF09-43A6-8C13-0A8A6692FD0}",    // a digit short
      "{2CB8B2CC-DF09-43A6-8C13-0A8A6692FD023}",  // a digit too many
      "{2CB8B2CC-DF0943A6-8C13--0A8A6692FD02}",   // dash moved
      "{2CB8B2CG-DF09-43A6-8C13-0A8A6692FD02}",   // not hex
      "{2CB8B2CC-DF09-43A6-8C13-0A8A6692FD02} ",  // trailing blank
      "{+CB8B2CC-DF09-43A6-8C13-0A8A6692FD02}",   // sign
  };
  for (const char* text : kMalformed) EXPECT_FALSE(Guid::Parse(text).has_value()) << text;
}

TEST(GuidTest, ComparesAndOrders) {
  constexpr Guid kOther = MakeGuid("{2CB8B2CC-DF09-43A6-8C13-0A8A6692FD03}");
  EXPECT_NE(kSample, kOther);
  EXPECT_LT(kSample, kOther);
  EXPECT_TRUE(Guid{}.is_null());
  EXPECT_FALSE(kSample.is_null());
}

TEST(StatusTest, SuccessAndFailureBySign) {
  EXPECT_TRUE(Succeeded(S_OK));
  EXPECT_TRUE(Succeeded(S_FALSE));
  EXPECT_TRUE(Failed(E_NOINTERFACE));
  EXPECT_TRUE(Failed(DISP_E_UNKNOWNNAME));
  EXPECT_EQ(static_cast<std::uint32_t>(DISP_E_UNKNOWNNAME), 0x80020006u);
  EXPECT_EQ(static_cast<std::uint32_t>(REGDB_E_CLASSNOTREG), 0x80040154u);
}

TEST(StatusTest, TextsAndHex) {
  EXPECT_EQ(StatusText(DISP_E_TYPEMISMATCH), "Type mismatch.");
  EXPECT_EQ(StatusText(DISP_E_UNKNOWNNAME), "Unknown name.");
  EXPECT_EQ(StatusText(REGDB_E_CLASSNOTREG), "Class not registered.");
  EXPECT_EQ(StatusHex(DISP_E_BADPARAMCOUNT), "0x8002000E");
  EXPECT_EQ(StatusText(static_cast<HRESULT>(0x8004ABCDu)), "Error 0x8004ABCD.");
}

TEST(StatusTest, Win32CodesBecomeStatuses) {
  EXPECT_EQ(HResultFromWin32(0), S_OK);
  EXPECT_EQ(static_cast<std::uint32_t>(HResultFromWin32(5)), 0x80070005u);
  EXPECT_EQ(StatusText(HResultFromWin32(1009)), "System error 1009.");
  EXPECT_EQ(HResultFromWin32(87), E_INVALIDARG);
}

}  // namespace
}  // namespace tarvik::platform::com
