#include <gtest/gtest.h>
#include <windows.h>

#include <ctime>
#include <regex>

#include "core/local_time.h"

namespace ravuvur {
namespace {

// The user's locale, not a fixed format: an English (United States) user
// reads a 12-hour clock. Under Wine the user is en-US (LC_ALL=C.UTF-8, see
// cmake/mingw-w64-x86_64.cmake).
TEST(LocalTimeTest, FollowsTheUserLocale) {
  wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
  GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
  if (std::wstring_view(locale) != L"en-US") GTEST_SKIP() << "needs a user locale of en-US";
  char text[64];
  const std::size_t length = FormatTimeOfDay(std::time(nullptr), text, sizeof text);
  const std::string time(text, length);
  EXPECT_TRUE(std::regex_match(time, std::regex(R"((1[0-2]|[1-9]):[0-5]\d:[0-5]\d [AP]M)")))
      << time;
}

}  // namespace
}  // namespace ravuvur
