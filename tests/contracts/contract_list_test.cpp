#include "contracts/contract_list.h"
#include "temp_home.h"

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::contracts;
using Key = ContractList::Key;

namespace {

class ContractListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        add("69-01-4-0001", "A1", "นายสมชาย ใจดี", "111", true);
        add("69-01-4-0002", "A2", "นางสมศรี O'Neil", "222", true);
        add("69-01-4-0003", "A3", "นายสมชาย ใจดี", "111", true);
        add("69-01-4-0004", "A4", "นางมานี", "333", false);
        add("69-01-4-0005", "A'5", "นายสมชาย ใจดี", "111", true);
        add("69-01-4-0006", "A6", "นางมานี", "333", false);
        add("69-01-4-0007", "", "นายก้อง", "", false);
        add("69-01-4-0008", "A8", "นายเกษม", "444", false);
    }
    void add(const char* no, const char* ref, const char* name, const char* id, bool open)
    {
        t.db->exec(
            QStringLiteral("INSERT INTO chumnum (Policy_no, ref_no, Ku_name, Ku_ID, P_status) "
                           "VALUES (?,?,?,?,?)"),
            {QString::fromUtf8(no), QString::fromUtf8(ref), QString::fromUtf8(name),
             QString::fromUtf8(id), open ? 1 : 0});
    }
    test::TempDatabase t;
    platform::ScriptedPrompt prompt;
};

} // namespace

TEST_F(ContractListTest, ValueListsByFilterAndKey)
{
    ContractList list(t.db, prompt);
    EXPECT_EQ(ContractList::keyTexts().value(2), QStringLiteral("ชื่อ นามสกุล"));
    list.chooseFilter(ContractFilter::Closed);
    list.chooseKey(Key::KuName);
    // Each name of a closed contract once, in Thai order: เกษม files under
    // ก (its leading vowel does not lead), after ก้อง as a dictionary has it.
    EXPECT_EQ(list.values(), (QStringList{"นางมานี", "นายก้อง", "นายเกษม"}));
    list.chooseKey(Key::RefNo);
    // Numbers newest first, so the newest contracts complete too; the empty
    // number is left out.
    EXPECT_EQ(list.values(), (QStringList{"A8", "A6", "A4"}));
    list.chooseFilter(ContractFilter::All);
    list.chooseKey(Key::KuName);
    EXPECT_EQ(list.values(QStringLiteral("นาย")),
              (QStringList{"นายก้อง", "นายเกษม", "นายสมชาย ใจดี"}));
    EXPECT_EQ(list.values(QString(), 1).size(), 1);
    EXPECT_TRUE(list.findNextVisible());
    list.chooseKey(Key::PolicyNo);
    EXPECT_FALSE(list.findNextVisible());
    list.chooseKey(Key::KuId);
    EXPECT_TRUE(list.findNextVisible());
}

TEST_F(ContractListTest, SearchAndFindNextInSetOrder)
{
    ContractList list(t.db, prompt);
    list.chooseKey(Key::KuId);
    auto found = list.search(QStringLiteral("111"));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->policyNo, QStringLiteral("69-01-4-0005")); // highest number first
    // Closed by another counter after the search: the next match is read as
    // it is stored now, without the list being opened again.
    t.db->exec(QStringLiteral("UPDATE chumnum SET P_status = 0 WHERE Policy_no = '69-01-4-0003'"));
    EXPECT_EQ(list.findNext()->policyNo, QStringLiteral("69-01-4-0001"));
    EXPECT_FALSE(list.findNext()); // nothing more, nothing said
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_FALSE(list.findNext());
    EXPECT_EQ(prompt.lastText(), QStringLiteral("End of File"));
    EXPECT_EQ(list.lastSearchValue(), QStringLiteral("111"));
}

TEST_F(ContractListTest, ClosedNumbersAndApostrophes)
{
    ContractList list(t.db, prompt);
    // Closed while the filter shows open contracts: not found.
    EXPECT_FALSE(list.search(QStringLiteral("69-01-4-0004")));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("ไม่พบสัญญาที่หา"));
    list.chooseKey(Key::KuName);
    EXPECT_EQ(list.search(QStringLiteral("นางสมศรี O'Neil"))->policyNo,
              QStringLiteral("69-01-4-0002"));
    list.chooseKey(Key::RefNo);
    EXPECT_EQ(list.search(QStringLiteral("A'5"))->policyNo, QStringLiteral("69-01-4-0005"));
    EXPECT_EQ(list.values(QStringLiteral("A'")), QStringList{"A'5"});
    EXPECT_FALSE(list.search(QStringLiteral("x' OR '1'='1")));
}
