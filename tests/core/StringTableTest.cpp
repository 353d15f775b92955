#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "base/CString.h"
#include "res/StringIds.h"

namespace {

TEST(StringTable, IdsAreUniqueAndTextsLoad) {
    std::set<uint32_t> ids;
    for (int i = 0; i < vesk::kStringCount; ++i)
        EXPECT_TRUE(ids.insert(vesk::kStringTable[i].id).second) << vesk::kStringTable[i].name;
    CString title;
    EXPECT_TRUE(title.LoadString(vesk::IDS_WINDOW_TITLE));
    EXPECT_EQ(title, "Norvale QVX 1394 Driver Control Panel");
    EXPECT_STREQ(vesk::LookupString(61225), "\xB5s");
    CString missing("x");
    EXPECT_FALSE(missing.LoadString(1));
    EXPECT_TRUE(missing.IsEmpty());
}

TEST(CStringFormat, FormatsLongTextsWhole) {
    CString text;
    std::string longName(5000, 'a');
    text.Format("%s-%d", longName.c_str(), 7);
    EXPECT_EQ(text.GetLength(), 5002);
    text.Format("%i ", 2);
    text += LoadStringText(vesk::IDS_DEVICES_CONNECTED);
    EXPECT_EQ(text, "2 Device(s) connected.");
    EXPECT_EQ(text.Left(1), "2");
    EXPECT_EQ(text.Left(-3), "");
}

}  // namespace
