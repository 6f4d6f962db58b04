#include <gtest/gtest.h>

#include "platform/Exceptions.h"

TEST(Exception, CarriesItsMessage)
{
    try {
        throw EConvertError("'x' is not a valid integer value");
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "'x' is not a valid integer value");
        EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
    }
}
