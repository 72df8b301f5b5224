// The Linux backend's X errors: those of requests made under a trap fail their caller, any
// other is reported once for its kind.
#include "backends/x11/x11_error_log.h"

#include <gtest/gtest.h>

namespace {

using Fate = x11::ErrorLog::Fate;

constexpr int badWindow = 3;
constexpr int badMatch = 8;
constexpr int configureWindow = 12;
constexpr int getProperty = 20;

TEST(X11ErrorLogTest, EachKindIsReportedOnce) {
  x11::ErrorLog log;
  EXPECT_EQ(log.Take(10, badWindow, configureWindow, 0), Fate::reported);
  EXPECT_EQ(log.Take(11, badWindow, configureWindow, 0), Fate::repeated);
  // The same error from another request, or another error from the same request, is new.
  EXPECT_EQ(log.Take(12, badWindow, getProperty, 0), Fate::reported);
  EXPECT_EQ(log.Take(13, badMatch, configureWindow, 0), Fate::reported);
  // Extension requests share a major code and differ in their minor one.
  EXPECT_EQ(log.Take(14, badMatch, 131, 46), Fate::reported);
  EXPECT_EQ(log.Take(15, badMatch, 131, 47), Fate::reported);
  EXPECT_FALSE(log.Caught());
}

TEST(X11ErrorLogTest, ATrapCatchesOnlyTheRequestsMadeUnderIt) {
  x11::ErrorLog log;
  x11::ErrorLog::Trap none = log.SetTrap(100);
  EXPECT_FALSE(none.set);
  // An earlier request's error arriving while the trap is set is reported as ever.
  EXPECT_EQ(log.Take(99, badWindow, configureWindow, 0), Fate::reported);
  EXPECT_FALSE(log.Caught());
  EXPECT_EQ(log.Take(100, badMatch, configureWindow, 0), Fate::trapped);
  EXPECT_TRUE(log.Caught());
  log.RestoreTrap(none);
  EXPECT_FALSE(log.Caught());
  // What a trap caught was never reported: the same kind later is reported once.
  EXPECT_EQ(log.Take(101, badMatch, configureWindow, 0), Fate::reported);
}

TEST(X11ErrorLogTest, AnInnerTrapGivesTheOuterOneBackAsItWas) {
  x11::ErrorLog log;
  x11::ErrorLog::Trap none = log.SetTrap(10);
  x11::ErrorLog::Trap outer = log.SetTrap(20);
  EXPECT_EQ(log.Take(20, badWindow, getProperty, 0), Fate::trapped);
  log.RestoreTrap(outer);
  EXPECT_FALSE(log.Caught());
  EXPECT_EQ(log.Take(15, badWindow, getProperty, 0), Fate::trapped);
  EXPECT_TRUE(log.Caught());
  log.RestoreTrap(none);
  EXPECT_EQ(log.Take(21, badWindow, getProperty, 0), Fate::reported);
}

}  // namespace
