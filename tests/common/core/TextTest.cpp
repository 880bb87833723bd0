#include "core/Text.h"

#include <gtest/gtest.h>

namespace vtl::text {
namespace {

TEST(SingleByteTextTest, WindowsTextBecomesUtf8) {
    EXPECT_EQ(ansiToUtf8("a\xB0z"), "a\xC2\xB0z");              // degree sign
    EXPECT_EQ(ansiToUtf8("\x80"), "\xE2\x82\xAC");              // euro sign
    EXPECT_EQ(ansiToUtf8("\x96\xFF"), "\xE2\x80\x93\xC3\xBF");  // en dash, y with diaeresis
    EXPECT_EQ(ansiToUtf8("\x81"), "\xC2\x81");                  // no character in 1252
    EXPECT_EQ(latin1ToUtf8("\x80\xE9"), "\xC2\x80\xC3\xA9");
    EXPECT_EQ(ansiToUtf8(""), "");
}

}  // namespace
}  // namespace vtl::text
