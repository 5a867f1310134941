#include "ConvertFixture.h"

namespace {

class DecoderTest : public testing_support::ConvertTest {
protected:
    DecoderTest()
    {
        w().show();
        w().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w()));
    }
    std::string decode(const std::string& typed)
    {
        type(w().txtDecoder, typed);
        w().txtDecoderOut->setFocus(); // leaving the field decodes it
        return w().txtDecoderOut->text8();
    }
};

TEST_F(DecoderTest, DigitsDecodeAgainstTheStartUpTables)
{
    const std::pair<const char*, const char*> cases[] = {
        {"11010011", "%11010011 = C-5...1-Dirty Saw"}, {"%11010011", "%11010011 = C-5...1-Dirty Saw"},
        {"11111111", "%11111111 = C-4...3-Engine"},    {"1101", "%1101 = F#6...1-Dirty Saw"},
        {"00000011", "%00000011 = E-6...4-Square"},    {"00011", "%00011 = E-6...4-Square"},
        {"0110011101111", "%01100111 = C-6...8-Noise"}, {"%2x011111", "%2x011111 = C-4..."},
        {"10", "%10 = G-6..."},                        {"11000002", "%11000002 = ...1-Dirty Saw"},
    };
    for (const auto& [typed, shown] : cases)
        EXPECT_EQ(decode(typed), shown) << typed;
    EXPECT_EQ(w().txtLog->text8(), "Log window waiting...");

    click(w().txtDecoder);
    EXPECT_EQ(w().txtDecoder->text8(), "");
    w().txtDecoderOut->setFocus();
    EXPECT_EQ(w().txtDecoderOut->text8(), "% = G-6...");
}

TEST_F(DecoderTest, AfterAConversionSlotsShowTheirBareSoundTypes)
{
    convert(rows(8));
    EXPECT_EQ(decode("%11010011"), "%11010011 = C-5...1");
    w().WaveMatrix[6]->setText8("12-Lower Square");
    convert(rows(8));
    EXPECT_EQ(decode("%11010011"), "%11010011 = C-5...12");
    EXPECT_EQ(decode("00111111"), "%00111111 = C-4...6");
}

} // namespace
