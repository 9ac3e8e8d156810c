// text_case_locale.cpp: upper-casing of Latin, Greek and Cyrillic text, and the user's locale name.
#include <gtest/gtest.h>

#include "pf_text.h"
#include "platform.h"

#include <clocale>
#include <cstdlib>
#include <random>
#include <string>

namespace {

TEST(UpperCase, LanguageNames) {
    EXPECT_EQ(UpperCase("Français"), "FRANÇAIS");
    EXPECT_EQ(UpperCase("Ελληνικά"), "ΕΛΛΗΝΙΚΑ");
    EXPECT_EQ(UpperCase("Русский"), "РУССКИЙ");
    EXPECT_EQ(UpperCase("English (UK)"), "ENGLISH (UK)");
    EXPECT_EQ(UpperCase("Español"), "ESPAÑOL");
    EXPECT_EQ(UpperCase("Polski: zażółć gęślą jaźń"), "POLSKI: ZAŻÓŁĆ GĘŚLĄ JAŹŃ");
    EXPECT_EQ(UpperCase("Čeština"), "ČEŠTINA");
    EXPECT_EQ(UpperCase("Türkçe ı i"), "TÜRKÇE I I");
    EXPECT_EQ(UpperCase("Українська ґ ї є"), "УКРАЇНСЬКА Ґ Ї Є");
    EXPECT_EQ(UpperCase("Tiếng Việt"), "TIẾNG VIỆT");
}

TEST(UpperCase, SpecialLetters) {
    EXPECT_EQ(UpperCase("ς σ ά έ ή ί ό ύ ώ ϊ ϋ ΐ ΰ Ά Ώ"), "Σ Σ Α Ε Η Ι Ο Υ Ω Ϊ Ϋ Ϊ Ϋ Α Ω");
    EXPECT_EQ(UpperCase("ÿ þ ð ø æ œ"), "Ÿ Þ Ð Ø Æ Œ");
    EXPECT_EQ(UpperCase("straße"), "STRAßE");  // ß has no single capital and stays
    EXPECT_EQ(UpperCase("÷ × 1 2 € ¿"), "÷ × 1 2 € ¿");  // not letters
    EXPECT_EQ(UpperCase("ALREADY UPPER ΑΒΓ АБВ"), "ALREADY UPPER ΑΒΓ АБВ");
    EXPECT_EQ(UpperCase(""), "");
    EXPECT_EQ(UpperCase("😀 emoji"), "😀 EMOJI");
}

TEST(UpperCase, DoesNotDependOnTheProcessLocale) {
    const char* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(UpperCase("é"), "É");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(UpperCase, InvalidUtf8IsKeptByteForByte) {
    EXPECT_EQ(UpperCase(std::string("a\xFF" "b\xC3")), std::string("A\xFF" "B\xC3"));
    EXPECT_EQ(UpperCase(std::string("\xE0\x80\xAF" "x")), std::string("\xE0\x80\xAF" "X"));  // overlong
    EXPECT_EQ(UpperCase(std::string("\xED\xA0\x80")), std::string("\xED\xA0\x80"));  // surrogate
    std::mt19937 rng(5);
    for (int round = 0; round < 2000; round++) {
        std::string s;
        for (int i = int(rng() % 40); i > 0; i--) s += char(rng());
        std::string upper = UpperCase(s);
        // Invalid text stays invalid the same way; valid text stays valid.
        EXPECT_EQ(PfIsValidUtf8(upper.data(), upper.size()), PfIsValidUtf8(s.data(), s.size()));
    }
}

TEST(Utf8, DecodingRules) {
    EXPECT_TRUE(PfIsValidUtf8("plain", 5));
    EXPECT_TRUE(PfIsValidUtf8("\xF4\x8F\xBF\xBF", 4));    // U+10FFFF
    EXPECT_FALSE(PfIsValidUtf8("\xF4\x90\x80\x80", 4));   // above U+10FFFF
    EXPECT_FALSE(PfIsValidUtf8("\xC0\xAF", 2));           // overlong
    EXPECT_FALSE(PfIsValidUtf8("\xE2\x82", 2));           // cut short
    EXPECT_FALSE(PfIsValidUtf8("\x80", 1));               // lone continuation
    EXPECT_EQ(PfWindows1252ToUtf8("\x80\x8D\xA0\xE9", 4), "\xE2\x82\xAC\xC2\x8D\xC2\xA0\xC3\xA9");
}

class Locale : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* v = std::getenv(name);
            saved.push_back({name, v ? v : "", v != nullptr});
            unsetenv(name);
        }
    }
    void TearDown() override {
        for (const Saved& s : saved) {
            if (s.set) setenv(s.name, s.value.c_str(), 1);
            else unsetenv(s.name);
        }
    }
    struct Saved {
        const char* name;
        std::string value;
        bool set;
    };
    std::vector<Saved> saved;
};

TEST_F(Locale, FromTheEnvironmentInOrder) {
    EXPECT_EQ(UserLocale(), "");
    setenv("LANG", "en_GB.UTF-8", 1);
    EXPECT_EQ(UserLocale(), "en-GB");
    setenv("LC_MESSAGES", "de_DE@euro", 1);
    EXPECT_EQ(UserLocale(), "de-DE");
    setenv("LC_ALL", "el_GR", 1);
    EXPECT_EQ(UserLocale(), "el-GR");
    setenv("LC_ALL", "", 1);  // empty counts as unset
    EXPECT_EQ(UserLocale(), "de-DE");
    setenv("LC_MESSAGES", "C", 1);
    EXPECT_EQ(UserLocale(), "");
    setenv("LC_MESSAGES", "POSIX", 1);
    EXPECT_EQ(UserLocale(), "");
    setenv("LC_MESSAGES", "C.UTF-8", 1);
    EXPECT_EQ(UserLocale(), "");
    setenv("LC_MESSAGES", "fr", 1);
    EXPECT_EQ(UserLocale(), "fr");
}

}  // namespace
