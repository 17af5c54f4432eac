// The handles the test programs give the console's panels. The recording user
// interface keys its controls by them, so any distinct numbers do; one set
// for every program keeps a control's place the same wherever it is checked.
#pragma once

namespace testsupport {

constexpr int kMainPanel = 201;
constexpr int kPortPanel = 202;
constexpr int kSetPanel = 203;
// The parameter panel's six pages: kPagePanel + 0 .. kPagePanel + 5; the
// debug panel's two: kDebugPanel + 0 and + 1.
constexpr int kPagePanel = 101;
constexpr int kDebugPanel = 111;

}  // namespace testsupport
