#include "skin_core.h"

#include <gtest/gtest.h>

using namespace skin;

TEST(WindowRoles, ButtonClassesInAnyCase) {
  for (const wchar_t* name : {L"Button", L"BUTTON", L"ThunderCommandButton",
                              L"ThunderRT6CommandButton", L"thunderrt6commandbutton"}) {
    EXPECT_EQ(RoleOfClass(name), WindowRole::Button) << name;
  }
}

TEST(WindowRoles, HostClasses) {
  for (const wchar_t* name : {L"#32770", L"ThunderFormDC", L"ThunderRT6FormDC", L"Form", L"FORM"}) {
    EXPECT_EQ(RoleOfClass(name), WindowRole::Host) << name;
  }
}

TEST(WindowRoles, EverythingElseIsOther) {
  for (const wchar_t* name : {L"Edit", L"Static", L"", L"Buttons", L"form1", L"NewHelpClass",
                              L"ThunderRT6TextBox"}) {
    EXPECT_EQ(RoleOfClass(name), WindowRole::Other) << name;
  }
}

TEST(WindowRoles, ActivationAlsoAcceptsTheHelpWindowButNotButtons) {
  EXPECT_TRUE(IsActivationHostClass(L"#32770"));
  EXPECT_TRUE(IsActivationHostClass(L"ThunderRT6FormDC"));
  EXPECT_TRUE(IsActivationHostClass(L"NewHelpClass"));
  EXPECT_FALSE(IsActivationHostClass(L"Button"));
  EXPECT_FALSE(IsActivationHostClass(L"Edit"));
}
