#include "tests/ftp/directory/remote_test_support.h"

namespace {
const auto* const kIsolatedRoot =
    ::testing::AddGlobalTestEnvironment(new tarvik::test::IsolatedTarvikRoot);
}  // namespace
