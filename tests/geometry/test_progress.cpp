// Progress reports: spans, monotone fractions, 1 only at the end, and the
// request to stop.

#include <gtest/gtest.h>

#include <vector>

#include "geometry/Progress.h"

namespace {

struct CRecordingSink : CProgressSink {
  std::vector<double> fractions;
  int stopAt = 0; // answer "stop" at this report (1 = the first)
  bool OnProgress(double fraction, const char*, bool) override {
    fractions.push_back(fraction);
    return static_cast<int>(fractions.size()) != stopAt;
  }
};

class ProgressTest : public ::testing::Test {
protected:
  void SetUp() override { CProgressScope::SetInterval(std::chrono::milliseconds(0)); }
  void TearDown() override { CProgressScope::SetInterval(std::chrono::milliseconds(40)); }
};

} // namespace

TEST_F(ProgressTest, SpansMapFractionsThatNeverGoBackAndOnlyFinishReportsOne) {
  ReportProgress(0.5); // nobody listens: nothing happens
  CRecordingSink sink;
  {
    CProgressScope scope(&sink, true);
    ReportProgress(0.1);
    {
      CProgressSpan outer(0.5, 1.0);
      CProgressSpan inner(0.5, 1.0); // [0.75, 1] of the whole
      ReportProgress(0.0);
      ReportProgress(0.5);
      ReportProgress(2.0); // clamped, and kept below 1
    }
    ReportProgress(0.3); // back in the whole: would go back, stays
    scope.Finish();
    scope.Finish();
    ReportProgress(0.9); // after the end: not heard
  }
  const std::vector<double> expected = {0.1, 0.75, 0.875, 0.9999, 0.9999, 1.0};
  ASSERT_EQ(sink.fractions.size(), expected.size());
  for (size_t i = 0; i < expected.size(); i++) EXPECT_DOUBLE_EQ(sink.fractions[i], expected[i]);
  ReportProgress(0.5); // the scope is gone
  EXPECT_EQ(sink.fractions.size(), expected.size());
}

TEST_F(ProgressTest, AStopRequestThrowsOnlyInACancellableScope) {
  for (bool cancellable : {true, false}) {
    CRecordingSink sink;
    sink.stopAt = 2;
    CProgressScope scope(&sink, cancellable);
    ReportProgress(0.1);
    if (cancellable)
      EXPECT_THROW(ReportProgress(0.2), CCancelled);
    else
      EXPECT_NO_THROW(ReportProgress(0.2));
  }
}
