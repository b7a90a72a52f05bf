// Tests of the language table: resource codes and the menu-language subrange.
#include "langua/languages.h"

#include <gtest/gtest.h>

namespace {

TEST(LanguagesTest, EachLanguageGivesTheCodeOfItsBaseLanguage) {
    const struct {
        unsigned lang;
        std::u16string code;
        TLanguages menuLanguage;  // what the subrange makes of it
    } cases[] = {
        {lg_GR, u"GR", lg_GR}, {lg_US, u"US", lg_US}, {lg_ES, u"ES", lg_ES},
        {lg_UK, u"US", lg_US}, {lg_EM, u"ES", lg_ES}, {lg_RU, u"RU", lg_GR},
        {lg_VY, u"GR", lg_GR}, {lg_QX, u"US", lg_US}, {lg_none, u"GR", lg_GR},
        // The top bit is ignored.
        {0x80 | lg_GR, u"GR", lg_GR}, {0x80 | lg_UK, u"US", lg_GR}, {0x80 | lg_RU, u"RU", lg_GR},
        // Past the table: as lg_none.
        {9, u"GR", lg_GR}, {0x7F, u"GR", lg_GR}, {0xFF, u"GR", lg_GR},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lang);
        const auto lang = static_cast<std::uint8_t>(c.lang);
        const std::uint32_t code = LanguageCode(lang);
        EXPECT_EQ(code & 0xFFFFu, c.code[0]) << "first character in the low half";
        EXPECT_EQ(code >> 16, c.code[1]);
        EXPECT_EQ(LanguageCodeText(lang), c.code);
        EXPECT_EQ(TLanguages{TLanguages1(static_cast<TLanguages>(lang))}, c.menuLanguage);
    }
    EXPECT_EQ(LanguageCode(0x83), LanguageCode(lg_UK));
    static_assert(LanguageCode(lg_EM) == (u'E' | u'S' << 16));
}

TEST(LanguagesTest, TableRowsAreInEnumerationOrderAndBaseRowsPointToThemselves) {
    const std::uint16_t ids[] = {0x0407, 0x0409, 0x040A, 0x0809, 0x080A, 0x0419, 0x0406, 0x0408, 0};
    for (std::size_t i = 0; i < LanguageTable.size(); ++i) {
        SCOPED_TRACE(i);
        const TLanguageRecord& r = LanguageTable[i];
        EXPECT_EQ(r.LangId, ids[i]);
        EXPECT_EQ(r.Reserved, 0);
        // One indirection is enough only when every base row is its own base.
        EXPECT_EQ(LanguageTable[r.BaseLang].BaseLang, r.BaseLang);
    }
    EXPECT_EQ(TLanguages{TLanguages1()}, lg_GR);
}

}  // namespace
