#include <gtest/gtest.h>

#include <cmath>

#include "tests/ErrorNumber.h"

#include "platform/DateTest.h"
#include "platform/Error.h"
#include "platform/Format.h"
#include "platform/Text.h"
#include "platform/Variant.h"

namespace trovel {
namespace {

TEST(VariantTest, ConvertsAsTheRuntimeDoes) {
  EXPECT_EQ(Variant(1234.5).ToString(), "1234.5");
  EXPECT_EQ(Variant(3.0).ToString(), "3");
  EXPECT_EQ(Variant(0.1).ToString(), "0.1");
  EXPECT_EQ(Variant(true).ToString(), "True");
  EXPECT_EQ(Variant().ToString(), "");
  EXPECT_EQ(Variant(DateTime{2001, 12, 5, 0, 0, 0}).ToString(), "05/12/2001");
  EXPECT_EQ(Variant(DateTime{2001, 12, 5, 7, 8, 9}).ToString(), "05/12/2001 07:08:09");
  EXPECT_EQ(Variant(" 42 ").ToLong(), 42);
  EXPECT_EQ(Variant(2.5).ToInteger(), 2);
  EXPECT_EQ(Variant(3.5).ToInteger(), 4);
  EXPECT_EQ(Variant("25/12/2001").ToDate(), (DateTime{2001, 12, 25, 0, 0, 0}));
  EXPECT_EQ(Variant("2001-12-25").ToDate(), (DateTime{2001, 12, 25, 0, 0, 0}));
  EXPECT_FLOAT_EQ(Variant(1485.5f).ToSingle(), 1485.5f);
}

// Numbers: the shortest text within 15 (Double) or 7 (Single) significant
// digits, in exponent form only where those digits do not reach.
TEST(VariantTest, NumbersShowTheirShortestTextWithinTheirPrecision) {
  const std::pair<Variant, const char*> cases[] = {
      {1000.0, "1000"}, {990.0, "990"}, {2.5, "2.5"}, {0.1, "0.1"}, {-0.5, "-0.5"}, {0.0, "0"}, {-0.0, "0"},
      {123456789012.0, "123456789012"}, {1.0 / 3, "0.333333333333333"}, {-2.0 / 3, "-0.666666666666667"},
      {0.1 + 0.2, "0.3"}, {999999999999999.0, "999999999999999"}, {1e15, "1E+15"}, {1.5e20, "1.5E+20"},
      {-1e15, "-1E+15"}, {0.0001, "0.0001"}, {0.00001, "1E-05"}, {-1.25e-7, "-1.25E-07"},
      {1.7976931348623157e308, "1.79769313486232E+308"}, {5e-324, "4.94065645841247E-324"},
      {std::numeric_limits<double>::infinity(), "1.#INF"}, {-std::numeric_limits<double>::infinity(), "-1.#INF"},
      {std::numeric_limits<double>::quiet_NaN(), "1.#QNAN"},
      {0.1f, "0.1"}, {990.25f, "990.25"}, {1000.0f, "1000"}, {9999999.0f, "9999999"},
      {16777216.0f, "1.677722E+07"}, {-0.0f, "0"}, {1.0f / 3, "0.3333333"}, {0.00001f, "1E-05"},
      {std::numeric_limits<float>::max(), "3.402823E+38"}, {-std::numeric_limits<float>::infinity(), "-1.#INF"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(value.ToString(), text) << text;
}

TEST(VariantTest, ImpossibleConversionsAreErrors) {
  EXPECT_EQ(ErrorNumberOf([] { Variant("abc").ToDouble(); }), Error::kTypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { Variant(Variant::Null).ToString(); }), Error::kTypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { Variant("31/02/2001").ToDate(); }), Error::kTypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { Variant(40000).ToInteger(); }), Error::kOverflow);
  EXPECT_EQ(ErrorNumberOf([] { Variant(1e10).ToLong(); }), Error::kOverflow);
}

TEST(DateTestTest, AcceptsExistingDatesOnly) {
  for (const char* ok : {"25-12-01", "29-02-00", "28-02-01", "31-12-99", "1-1-01", "25/12/2001"})
    EXPECT_TRUE(DateTest::IsDate(ok)) << ok;
  for (const char* bad : {"31-02-01", "29-02-01", "01-13-01", "00-01-01", "", "ab-cd-ef", "25-12", "25-12-01x",
                          "31-04-01", "25-12/01"})
    EXPECT_FALSE(DateTest::IsDate(bad)) << bad;
}

TEST(DateTestTest, LeapYearsAndMonthLengths) {
  EXPECT_TRUE(DateTest::IsLeapYear(2000));
  EXPECT_FALSE(DateTest::IsLeapYear(1900));
  EXPECT_TRUE(DateTest::IsLeapYear(2004));
  EXPECT_EQ(DateTest::DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DateTest::DaysInMonth(2001, 4), 30);
  EXPECT_EQ(DateTest::DaysInMonth(2001, 13), 0);
  EXPECT_FALSE(DateTest::IsDate("29-02-1900"));
  EXPECT_TRUE(DateTest::IsDate("29-02-2000"));
  EXPECT_FALSE(DateTest::IsDate("01-01-200"));  // three-digit years are not dates
}

TEST(FormatTest, Dates) {
  Variant d(DateTime{2001, 3, 5, 14, 7, 9});
  EXPECT_EQ(Format(d, "dd/mm/yyyy"), "05/03/2001");
  EXPECT_EQ(Format(d, "DD/MM/YYYY"), "05/03/2001");
  EXPECT_EQ(Format(d, "d-m-yy"), "5-3-01");
  EXPECT_EQ(Format(d, "yyyy-mm-dd hh:nn:ss"), "2001-03-05 14:07:09");
  EXPECT_EQ(Format(d, "h:mm"), "14:07");
  EXPECT_EQ(Format(Variant("2001-03-05"), "dd.mm.yyyy"), "05.03.2001");
  // Names, weekday (Monday is 2), week, quarter, day of the year, 12-hour clock, literals.
  EXPECT_EQ(Format(d, "ddd dd-mmm-yyyy"), "lun 05-mar-2001");
  EXPECT_EQ(Format(d, "dddd d \\de mmmm"), "lunes 5 de marzo");
  EXPECT_EQ(Format(d, "w ww q y"), "2 10 1 64");
  EXPECT_EQ(Format(d, "h:nn AM/PM \"en punto\""), "2:07 PM en punto");
  EXPECT_EQ(Format(Variant(DateTime{2005, 1, 1, 0, 0, 0}), "ww"), "1");  // a Saturday: week 1
  EXPECT_EQ(Format(Variant(DateTime{2005, 1, 2, 0, 5, 0}), "ww hh a/p"), "2 12 a");
  EXPECT_EQ(Format(d, "Short Date"), "05/03/2001");
  EXPECT_EQ(Format(d, "ddddd"), "05/03/2001");
}

TEST(FormatTest, Numbers) {
  EXPECT_EQ(Format(Variant(1234.5), "#,##0.00"), "1,234.50");
  EXPECT_EQ(Format(Variant(1234567.891), "#,##0.00"), "1,234,567.89");
  EXPECT_EQ(Format(Variant(-1234.5), "#,##0.00"), "-1,234.50");
  EXPECT_EQ(Format(Variant(0.0), "#,##0.00"), "0.00");
  EXPECT_EQ(Format(Variant(2.25), "0.0"), "2.3");
  EXPECT_EQ(Format(Variant(0.0), "#"), "");
  for (const char* picture : {"#,##0.00", "0%", "0"})
    for (double huge : {HUGE_VAL, -HUGE_VAL, 1e308, std::nan("")})
      EXPECT_EQ(Format(Variant(huge), picture), Variant(huge).ToString()) << picture << " " << huge;
  EXPECT_EQ(Format(Variant(0.25), "0%"), "25%");
  EXPECT_EQ(Format(Variant(7), "000"), "007");
  EXPECT_EQ(Format(Variant(5.5), "\"$\"0.00 \\u"), "$5.50 u");
  EXPECT_EQ(Format(Variant("12.5"), "0.00"), "12.50");
  EXPECT_EQ(Format(Variant("abc"), "0.00"), "abc");
  EXPECT_EQ(Format(Variant(Variant::Null), "0.00"), "");
  // Sections for positive, negative, zero and Null; named pictures.
  const std::string sections = "#,##0.00;(#,##0.00);\"cero\";\"nulo\"";
  EXPECT_EQ(Format(Variant(-1234.5), sections), "(1,234.50)");
  EXPECT_EQ(Format(Variant(0.0), sections), "cero");
  EXPECT_EQ(Format(Variant(Variant::Null), sections), "nulo");
  EXPECT_EQ(Format(Variant(-2.0), "0.0;;\"z\""), "-2.0");  // an empty section falls back to the first
  EXPECT_EQ(Format(Variant(1234.5), "Standard"), "1,234.50");
  EXPECT_EQ(Format(Variant(0.125), "Percent"), "12.50%");
}

TEST(TextTest, CountsCharactersAndUpperCasesUnicode) {
  std::string s = "Código ñandú";
  EXPECT_EQ(Text::Length(s), 12u);
  EXPECT_EQ(Text::Mid(s, 2, 4), "ódig");
  EXPECT_EQ(Text::Mid(s, 40), "");
  EXPECT_EQ(Text::Upper(s), "CÓDIGO ÑANDÚ");
  EXPECT_EQ(Text::UpperChar(0xE1), 0xC1);  // á -> Á
  EXPECT_EQ(Text::UpperChar('1'), '1');
  EXPECT_EQ(Text::UpperChar(0x101), 0x100);
  // Every script, by the simple mapping: one character stays one ("ß" is not "SS").
  EXPECT_EQ(Text::Upper("ǆ ǎ ἀ ա ß ς ÿ ı"), "Ǆ Ǎ Ἀ Ա ß Σ Ÿ I");
  for (int c : {-1, 0x110000, 0xD800}) EXPECT_EQ(Text::UpperChar(c), c);
  EXPECT_EQ(Text::FromCodepoint(0xC1), "Á");
  EXPECT_EQ(Text::FirstCodepoint("ñu"), 0xF1);
  std::string broken = "a\xC3";  // truncated sequence counts as one character
  EXPECT_EQ(Text::Length(broken), 2u);
  EXPECT_EQ(Text::Upper(broken), "A\xC3");
  EXPECT_EQ(Text::Trim("  x y  "), "x y");
}

}  // namespace
}  // namespace trovel
