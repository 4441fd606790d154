// Exact numbers: Decimal's text, limits and conversions, a Decimal inside a
// Variant, and Format writing a Decimal from its digits and a large Double
// from the 15 digits it keeps.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/Decimal.h"
#include "platform/Error.h"
#include "platform/Format.h"
#include "platform/Variant.h"
#include "tests/ErrorNumber.h"

namespace trovel {
namespace {

Decimal D(const std::string& text) {
  const std::optional<Decimal> d = Decimal::Parse(text);
  if (!d) ADD_FAILURE() << "\"" << text << "\" should read as a Decimal";
  return d.value_or(Decimal());
}

const std::string k28Digits = "1234567890123456789012345678";

TEST(DecimalTest, ReadsAndWritesEveryDigit) {
  struct Case {
    std::string text, shown;
    int scale;
  } cases[] = {
      {"9007199254740993", "9007199254740993", 0},  // 2^53 + 1: no Double holds it
      {"9223372036854775807", "9223372036854775807", 0},
      {"-9223372036854775808", "-9223372036854775808", 0},
      {k28Digits, k28Digits, 0},
      {"-9999999999999999999999999999", "-9999999999999999999999999999", 0},
      {"0.0000000000000000000000000001", "0.0000000000000000000000000001", 28},
      {"-0." + k28Digits, "-0." + k28Digits, 28},
      {"1234567890.123456789012345678", "1234567890.123456789012345678", 18},
      {"12345678901234567.89", "12345678901234567.89", 2},
      {"12.50", "12.5", 1},
      {"+000123.4500", "123.45", 2},
      {"-0.05", "-0.05", 2},
      {"1000", "1000", 0},
      {"5.", "5", 0},
      {".5", "0.5", 1},
      // Zeros after the point at the end are no digits of the value.
      {k28Digits + ".000", k28Digits, 0},
      {"1.0000000000000000000000000000000000", "1", 0},
      // Zero has one form, whatever its sign or point.
      {"0", "0", 0}, {"-0", "0", 0}, {"+0.000", "0", 0}, {".0", "0", 0}, {"-00.", "0", 0},
  };
  for (const Case& c : cases) {
    const Decimal d = D(c.text);
    EXPECT_EQ(d.ToString(), c.shown) << c.text;
    EXPECT_EQ(d.Scale(), c.scale) << c.text;
    EXPECT_EQ(D(d.ToString()), d) << c.text;  // the text reads back as the same value
  }
  EXPECT_FALSE(D("-0").IsNegative());
  EXPECT_TRUE(D("-0.000").IsZero());

  for (int64_t v : {int64_t{0}, int64_t{-1}, int64_t{9007199254740993}, std::numeric_limits<int64_t>::max(),
                    std::numeric_limits<int64_t>::min()}) {
    EXPECT_EQ(Decimal(v).ToString(), std::to_string(v));
    EXPECT_EQ(Decimal(v), D(std::to_string(v)));
  }
}

TEST(DecimalTest, RefusesWhatItCannotHoldExactly) {
  for (const std::string& text : std::vector<std::string>{
           "12345678901234567890123456789",    // 29 digits
           "123456789012345678901234567890",   // 30
           "79228162514264337593543950336",    // 2^96
           "-1.0000000000000000000000000001",  // 29 significant digits
           "0.00000000000000000000000000001",  // 29 decimals
           "1" + std::string(28, '0'),         // 10^28: its zeros before the point count
           "", "-", "+", ".", "-.", "1e5", "1E+05", " 1", "1 ", "1,5", "--1", "+-1", "1.2.3", "1-", "0x10",
           "NaN", "Infinity", "-Infinity", "１",  // a full-width digit
       })
    EXPECT_FALSE(Decimal::Parse(text).has_value()) << "\"" << text << "\"";
}

TEST(DecimalTest, ConvertsToDoubleAndWholeNumbers) {
  const std::pair<std::string, double> doubles[] = {
      {"9007199254740993", 9007199254740992.0},  // halfway: to the even one
      {"9007199254740995", 9007199254740996.0},
      {"0.1", 0.1},
      {"-123.456", -123.456},
      {"12345678901234567.89", 12345678901234568.0},
      {"0.0000000000000000000000000001", 1e-28},
      {"9999999999999999999999999999", 1e28},
      {"-0.3333333333333333333333333333", -1.0 / 3},
      {"0", 0.0},
  };
  for (const auto& [text, expected] : doubles) EXPECT_EQ(D(text).ToDouble(), expected) << text;

  // Half to even, from the exact value.
  const std::pair<std::string, std::optional<int64_t>> wholes[] = {
      {"2.5", 2},
      {"3.5", 4},
      {"-2.5", -2},
      {"-3.5", -4},
      {"2.5000000000000000000000001", 3},
      {"-0.5", 0},
      {"9223372036854775807.4", std::numeric_limits<int64_t>::max()},
      {"9223372036854775807.5", std::nullopt},  // to 2^63
      {"-9223372036854775808.5", std::numeric_limits<int64_t>::min()},
      {"-9223372036854775809", std::nullopt},
      {k28Digits, std::nullopt},
  };
  for (const auto& [text, expected] : wholes) EXPECT_EQ(D(text).ToInt64(), expected) << text;
}

TEST(DecimalTest, OrdersByValue) {
  const std::vector<std::string> ascending = {
      "-9999999999999999999999999999", "-9223372036854775808", "-1.5", "-1.25", "-0.0000000000000000000000000001",
      "0", "0.0000000000000000000000000001", "0.1", "0.12", "1", "1.000000000000000000000000001",
      "1234567890.123456789012345678", "9007199254740992", "9007199254740993", "12345678901234567.89",
      "9223372036854775807", k28Digits};
  for (size_t i = 0; i < ascending.size(); ++i)
    for (size_t j = 0; j < ascending.size(); ++j)
      EXPECT_EQ(D(ascending[i]) <=> D(ascending[j]), i <=> j) << ascending[i] << " vs " << ascending[j];
  EXPECT_EQ(D("12.50"), D("12.5"));
  EXPECT_EQ(D("-0"), Decimal());
}

TEST(VariantDecimalTest, IsAnExactNumber) {
  const Variant key(Decimal(int64_t{9007199254740993}));
  EXPECT_EQ(key.type(), Variant::Type::Decimal);
  EXPECT_TRUE(key.IsNumeric());
  EXPECT_EQ(key.ToString(), "9007199254740993");
  EXPECT_EQ(std::move(Variant(D("-12.50"))).ToString(), "-12.5");
  EXPECT_EQ(key.ToDouble(), 9007199254740992.0);
  EXPECT_EQ(Variant(D("12.50")), Variant(D("12.5")));
  EXPECT_NE(Variant(D("5")), Variant(5.0));  // the same value, another type
  EXPECT_NE(Variant(D("5")), Variant(int32_t{5}));
  EXPECT_TRUE(Variant(D("0.5")).ToBoolean());
  EXPECT_FALSE(Variant(D("-0")).ToBoolean());
  // Text that reads as a number stays text, and converts to a Double.
  EXPECT_EQ(Variant("9007199254740993").type(), Variant::Type::String);
  EXPECT_EQ(Variant("9007199254740993").ToDouble(), 9007199254740992.0);
  // A Decimal takes no more room than the text a Variant already holds.
  EXPECT_LE(sizeof(Variant), sizeof(std::string) + 8);
}

TEST(VariantDecimalTest, WholeNumbersRoundHalfToEvenAndCheckTheirRange) {
  EXPECT_EQ(Variant(D("2147483647")).ToLong(), 2147483647);
  EXPECT_EQ(Variant(D("2147483646.5")).ToLong(), 2147483646);
  EXPECT_EQ(Variant(D("-2147483648.5")).ToLong(), -2147483648);
  EXPECT_EQ(Variant(D("-2.5")).ToLong(), -2);
  EXPECT_EQ(Variant(D("32767.4")).ToInteger(), 32767);
  EXPECT_EQ(Variant(D("-32768.5")).ToInteger(), -32768);
  // From the exact value: a Double would hold 2.5 and round it to 2.
  EXPECT_EQ(Variant(D("2.50000000000000001")).ToLong(), 3);
  EXPECT_EQ(Variant(D("-2.50000000000000001")).ToInteger(), -3);
  for (const char* text : {"2147483647.5", "-2147483649", "9223372036854775807", "-9223372036854775808",
                           "1234567890123456789012345678"})
    EXPECT_EQ(ErrorNumberOf([&] { Variant(D(text)).ToLong(); }), Error::kOverflow) << text;
  for (const char* text : {"32767.5", "-32769", "9007199254740993"})
    EXPECT_EQ(ErrorNumberOf([&] { Variant(D(text)).ToInteger(); }), Error::kOverflow) << text;
}

struct FormatCase {
  Variant value;
  std::string picture, expected;
};

void ExpectFormats(const std::vector<FormatCase>& cases) {
  for (const FormatCase& c : cases)
    EXPECT_EQ(Format(c.value, c.picture), c.expected) << c.value.ToString() << " by \"" << c.picture << "\"";
}

TEST(FormatDecimalTest, WritesTheExactDigitsRoundedHalfAwayFromZero) {
  const std::string sections = "#,##0.00;(#,##0.00);\"cero\";\"nulo\"";
  ExpectFormats({
      {D("12345678901234567.89"), "#,##0.00", "12,345,678,901,234,567.89"},
      {D("12345678901234567.89"), "0", "12345678901234568"},
      {D("12345678901234567.89"), "0.0", "12345678901234567.9"},
      {D("9223372036854775807"), "#,##0", "9,223,372,036,854,775,807"},
      {D("-9223372036854775808"), "#,##0.00", "-9,223,372,036,854,775,808.00"},
      {D("9007199254740993"), "0.00", "9007199254740993.00"},
      {D(k28Digits), "Standard", "1,234,567,890,123,456,789,012,345,678.00"},
      {D("0.0000000000000000000000000001"), "0." + std::string(28, '0'), "0.0000000000000000000000000001"},
      {D("0.0000000000000000000000000001"), "0.00", "0.00"},
      {D("-12345678901234567.885"), "#,##0.00", "-12,345,678,901,234,567.89"},
      {D("2.5"), "0", "3"},
      {D("-2.5"), "0", "-3"},
      {D("0.125"), "0.00", "0.13"},
      {D("0.005"), "0.00", "0.01"},
      {D("0.0049999999999999999999999999"), "0.00", "0.00"},
      {D("-0.004"), "0.00", "0.00"},  // rounds to zero: no sign
      {D("9.995"), "0.00", "10.00"},
      {D("999999.5"), "#,##0", "1,000,000"},
      {D("0.5"), "#.##", ".5"},
      {D("0.5"), "0.##", "0.5"},
      {D("12.5"), "#.###", "12.5"},
      {D("7"), "000", "007"},
      {D("1234.5"), "Fixed", "1234.50"},
      {D("0.125"), "Percent", "12.50%"},
      {D("0.0000000000000000000000000125"), "0." + std::string(25, '0') + "%", "0." + std::string(23, '0') + "13%"},
      {D("-1234.5"), sections, "(1,234.50)"},
      {D("-0.001"), sections, "(0.00)"},
      {D("0"), sections, "cero"},
      {D("-0"), sections, "cero"},
      {D("12345678901234567.89"), "", "12345678901234567.89"},  // no picture: the plain text
      {D("12345678901234567.89"), "\"N.º \"", "12345678901234567.89"},  // no digit codes either
  });
}

TEST(FormatDecimalTest, DoublesShowOnlyTheFifteenDigitsTheyKeep) {
  ExpectFormats({
      {123456789012345678.0, "#,##0.00", "123,456,789,012,346,000.00"},
      {-123456789012345678.0, "#,##0;(#,##0)", "(123,456,789,012,346,000)"},
      {9007199254740993.0, "0", "9007199254740990"},  // the Double holds 2^53
      {123456789012345.67, "0.00", "123456789012346.00"},
      {99999999999999.99, "#,##0.00", "100,000,000,000,000.00"},  // 99999999999999.98|4375
      {999999999999999.9, "0", "1000000000000000"},
      {1e15, "#,##0", "1,000,000,000,000,000"},
      {0.1 + 0.2, "0.00000000000000000", "0.30000000000000000"},
      {1.0000000000000002, "0.0000000000000000", "1.0000000000000000"},
      // Shortest digits 0.1234567890123455 lie halfway; the exact value is below.
      {0.1234567890123455, "0.0000000000000000", "0.1234567890123450"},
      {1234567890123465.0, "0", "1234567890123460"},  // an exact tie, to even as its plain text
      {2.675, "0.00", "2.68"},  // 2.67499999999999982236431605997495353221893310546875 kept as 2.675
      {1.005, "0.00", "1.01"},
      {-0.0, "0.00", "0.00"},
      {5e-324, "0.00", "0.00"},
      {1234567.891, "#,##0.00", "1,234,567.89"},
      {Variant("123456789012345678"), "#,##0", "123,456,789,012,346,000"},  // text reads as a Double
      {1e299, "0", "1" + std::string(299, '0')},
      {1e300, "0", "1E+300"},  // past the picture's digits: the plain text
  });
}

}  // namespace
}  // namespace trovel
