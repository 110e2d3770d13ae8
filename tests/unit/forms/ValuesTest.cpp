#include <gtest/gtest.h>

#include "forms/Error.h"
#include "forms/Values.h"
#include "unit/common/TestSupport.h"

using namespace forms;

using testsupport::ErrorNumberOf;

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3);
    EXPECT_EQ(RoundHalfEven(-0.4), 0);
    EXPECT_EQ(CInt(0.6), 1);
    EXPECT_EQ(CLng(1234567.5), 1234568);
}

TEST(Conversions, IntegersOverflowWithError6) {
    EXPECT_EQ(CInt(32767.0), 32767);
    EXPECT_EQ(CInt(-32768.0), -32768);
    EXPECT_EQ(CInt(-32768.4), -32768);
}

TEST(Conversions, OverflowAtTheEdges) {
    EXPECT_EQ(ErrorNumberOf([] { CInt(32768.0); }), err::Overflow);
    EXPECT_EQ(ErrorNumberOf([] { CInt(-32768.5); }), 0) << "-32768.5 rounds to the even -32768";
    EXPECT_EQ(ErrorNumberOf([] { CInt(-32769.0); }), err::Overflow);
    EXPECT_EQ(ErrorNumberOf([] { CInt(L"1e9"); }), err::Overflow);
    EXPECT_EQ(ErrorNumberOf([] { CLng(2147483648.0); }), err::Overflow);
    EXPECT_EQ(ErrorNumberOf([] { CLng(L"abc"); }), err::TypeMismatch);
    EXPECT_EQ(CLng(-2147483648.0), INT32_MIN);
}

TEST(Conversions, IntegerDivisionRoundsOperandsAndTruncates) {
    EXPECT_EQ(IntDiv(15360, 15), 1024);
    EXPECT_EQ(IntDiv(11520, 15), 768);
    EXPECT_EQ(IntDiv(7, 2), 3);
    EXPECT_EQ(IntDiv(-7, 2), -3);
    EXPECT_EQ(IntDiv(7.5, 2.5), 4) << "7.5 -> 8, 2.5 -> 2";
    EXPECT_EQ(IntDiv(1440, 15.0f), 96);
    EXPECT_EQ(ErrorNumberOf([] { IntDiv(1, 0.4); }), err::DivisionByZero);
    EXPECT_EQ(ErrorNumberOf([] { IntDiv(-2147483648.0, -1); }), err::Overflow);
}

TEST(IsNumericTest, AcceptsWhatTheRuntimeReadsAsANumber) {
    for (const wchar_t* s : {L"3", L" 3", L" 3 ", L"-1", L"+4", L"0.6", L"4.4", L".5", L"5.", L"1e9", L"1E-3",
                             L"2D2", L"&H10", L"&hff", L"&O17", L"1,000", L"\t7\t", L"- 3"})
        EXPECT_TRUE(IsNumeric(s)) << std::string(s, s + wcslen(s));
    for (const wchar_t* s : {L"", L"   ", L"abc", L"3a", L".", L"-", L"1e", L"&H", L"&HG", L"1..2", L",1", L"\x01",
                             L"3 4", L"--3", L"0x10"})
        EXPECT_FALSE(IsNumeric(s)) << std::string(s, s + wcslen(s));
}

TEST(IsNumericTest, ParsedValues) {
    EXPECT_EQ(*ParseNumber(L" 3 "), 3);
    EXPECT_EQ(*ParseNumber(L"&H10"), 16);
    EXPECT_EQ(*ParseNumber(L"&HFFFF"), -1);
    EXPECT_EQ(*ParseNumber(L"&H10000"), 65536);
    EXPECT_EQ(*ParseNumber(L"1,000.5"), 1000.5);
    EXPECT_EQ(*ParseNumber(L"-2.5e1"), -25);
    EXPECT_FALSE(ParseNumber(L"1e999").has_value()) << "beyond a double";
}

TEST(NumberText, SignPositionAndShortestSingle) {
    EXPECT_EQ(Str(1), L" 1");
    EXPECT_EQ(Str(0), L" 0");
    EXPECT_EQ(Str(8), L" 8");
    EXPECT_EQ(Str(-1), L"-1");
    EXPECT_EQ(Str(123456), L" 123456");
    EXPECT_EQ(Str(0.5), L" .5");
    EXPECT_EQ(Str(-0.25), L"-.25");
    EXPECT_EQ(SingleText(120.0f), L"120");
    EXPECT_EQ(SingleText(100.0f / 3.0f), L"33.33333");
    EXPECT_EQ(SingleText(0.1f), L"0.1");
    EXPECT_EQ(SingleText(1e10f), L"1E+10");
    EXPECT_EQ(SingleText(-2.5f), L"-2.5");
    EXPECT_EQ(SingleText(15.0f), L"15");
    EXPECT_EQ(CStr(1.0 / 3.0), L"0.333333333333333");
}

TEST(Errors, CarryNumberSourceAndDescription) {
    try {
        Raise(26001, L"Quorvane.mIntelJPEGLibrary", L"Failed");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.Number, 26001);
        EXPECT_EQ(e.Source, L"Quorvane.mIntelJPEGLibrary");
        EXPECT_EQ(e.Description, L"Failed");
    }
    try {
        Raise(err::Overflow);
    } catch (const Error& e) {
        EXPECT_EQ(e.Description, L"Overflow");
        EXPECT_EQ(e.Source, L"test_forms");
    }
}

TEST(Errors, PassOverGoesOnAfterAFailingStep) {
    int reached = 0;
    EXPECT_FALSE(PassOver([] { CInt(99999.0); }));
    reached++;
    EXPECT_TRUE(PassOver([&] { reached++; }));
    EXPECT_EQ(reached, 2);
}

#include "forms/Object.h"

TEST(VariantTest, ConvertsAsTheRuntimeDoes) {
    EXPECT_TRUE(Variant().IsEmpty());
    EXPECT_EQ(Variant().AsLong(), 0);
    EXPECT_EQ(Variant().AsString(), L"");
    EXPECT_EQ(Variant(L" 3").AsInteger(), 3);
    EXPECT_EQ(Variant(2.5).AsInteger(), 2);
    EXPECT_EQ(Variant::FromBoolean(True).AsLong(), -1);
    EXPECT_EQ(Variant::FromBoolean(True).AsString(), L"True");
    EXPECT_EQ(Variant(L"True").AsBoolean(), True);
    EXPECT_EQ(Variant(int32_t{5}).AsBoolean(), True);
    EXPECT_EQ(Variant(120.0f).AsString(), L"120");
    EXPECT_THROW(Variant(L"abc").AsLong(), Error);
    EXPECT_THROW(Variant(int32_t{40000}).AsInteger(), Error);
    EXPECT_FALSE(Variant(int16_t{1}) == Variant(int32_t{1})) << "kinds differ";
    EXPECT_TRUE(Variant(L"a") == Variant(L"a"));
}

TEST(ObjectTest, MissingMembersRaise438AndNamesIgnoreCase) {
    struct Thing : Object {
        int32_t width = 7;
        Variant GetProperty(std::wstring_view name) override {
            if (NameIs(name, L"Width")) return width;
            return Object::GetProperty(name);
        }
    } t;
    EXPECT_EQ(GetBy(t, L"width").AsLong(), 7);
    EXPECT_EQ(GetBy(t, L"WIDTH").AsLong(), 7);
    try {
        GetBy(t, L"hwnd");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.Number, 438);
    }
    EXPECT_THROW(LetBy(t, L"Width", int32_t{1}), Error);
    EXPECT_THROW(CallBy(t, L"Move"), Error);
}
