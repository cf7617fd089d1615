#include "FourCharCode.h"

#include <gtest/gtest.h>

TEST(FourCharCode, FirstCharacterIsMostSignificant) {
    static_assert(QorCode("abcd") == 0x61626364u);
    EXPECT_EQ(QorCodeFromBytes("abcdef"), 0x61626364u);
    EXPECT_EQ(QorCodeFromBytes("\xFE\xED\xFA\xCE"), 0xFEEDFACEu);
    char out[5];
    QorCodeToChars(0x54727658u, out);
    EXPECT_STREQ(out, "TrvX");
}
