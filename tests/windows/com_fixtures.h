#pragma once
// GoogleTest fixtures of the COM client suites: an apartment per test, and the created object.
#include <gtest/gtest.h>

#include "com_test_support.h"

namespace orv::testing {

// A single-threaded apartment for the length of one test, as script clients and VB use.
class ComTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
  void TearDown() override { CoUninitialize(); }

  static ComPtr<_clsOrvAcctMan> create() {
    ComPtr<_clsOrvAcctMan> object;
    EXPECT_EQ(S_OK, CoCreateInstance(CLSID_clsOrvAcctMan, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)));
    return object;
  }
};

// One created object, early bound and by IDispatch.
class ObjectTest : public ComTest {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    object_ = create();
    ASSERT_TRUE(object_);
    ASSERT_EQ(S_OK, object_.As(&dispatch_));
  }
  void TearDown() override {
    dispatch_.Reset();
    object_.Reset();
    ComTest::TearDown();
  }

  ComPtr<_clsOrvAcctMan> object_;
  ComPtr<IDispatch> dispatch_;
};

}  // namespace orv::testing
