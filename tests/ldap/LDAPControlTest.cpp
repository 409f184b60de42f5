#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <ldap.h>

#include "ldap/LDAPControl.h"

namespace arbldap {

namespace {

const char* const kSort = "1.2.840.113556.1.4.473";
const char* const kPaged = "1.2.840.113556.1.4.319";
const char* const kManageDsaIt = "2.16.840.1.113730.3.4.2";

std::vector<std::string> Oids(::LDAPControl** array)
{
    std::vector<std::string> oids;
    for (::LDAPControl** p = array; p && *p; ++p) oids.emplace_back((*p)->ldctl_oid);
    return oids;
}

TEST(LDAPControl, ValueIsTakenOnlyWithBytesAndLength)
{
    struct Case { const char* value; size_t length; std::string expected; };
    const Case cases[] = {
        {nullptr, 0, ""},
        {nullptr, 5, ""},
        {"abc", 0, ""},
        {"abc", 3, "abc"},
        {"abc", 2, "ab"},
        {"a\0b\xFF", 4, std::string("a\0b\xFF", 4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.size());
        LDAPControl control(kSort, true, c.value, c.length, false);
        EXPECT_EQ(control.GetValue(), c.expected);
        EXPECT_EQ(control.GetOID(), kSort);
        EXPECT_TRUE(control.IsCritical());
        EXPECT_FALSE(control.IsEnabled());
    }
    EXPECT_EQ(LDAPControl(static_cast<const char*>(nullptr), false, nullptr, 0, true).GetOID(), "");
}

TEST(LDAPControl, FromStrings)
{
    const std::string value("\x30\x00\x01", 3);
    LDAPControl control(std::string(kPaged), false, value, true);
    EXPECT_EQ(control.GetOID(), kPaged);
    EXPECT_EQ(control.GetValue(), value);
    EXPECT_FALSE(control.IsCritical());
    EXPECT_TRUE(control.IsEnabled());
    control.SetEnabled(false);
    EXPECT_FALSE(control.IsEnabled());
}

TEST(LDAPControl, CopyAndAssignTakeEveryField)
{
    LDAPControl a(kSort, true, "v", 1, false);
    LDAPControl b(a);
    LDAPControl c(kPaged, false, nullptr, 0, true);
    EXPECT_NE(c, a);
    c = a;
    EXPECT_EQ(b, a);
    EXPECT_EQ(c, a);
    a.SetEnabled(true);
    EXPECT_FALSE(b.IsEnabled());
    EXPECT_NE(b, a);

    // Each field takes part in equality.
    EXPECT_NE(LDAPControl(kSort, true, "v", 1, false), LDAPControl(kPaged, true, "v", 1, false));
    EXPECT_NE(LDAPControl(kSort, true, "v", 1, false), LDAPControl(kSort, false, "v", 1, false));
    EXPECT_NE(LDAPControl(kSort, true, "v", 1, false), LDAPControl(kSort, true, "w", 1, false));
}

TEST(LDAPControl, ToSDKRecord)
{
    struct Case { bool critical; std::string value; };
    const Case cases[] = {
        {true, "abc"},
        {false, "abc"},
        {false, ""},
        {true, std::string("\0\x01\0", 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.size());
        LDAPControl control(std::string(kSort), c.critical, c.value, true);
        ::LDAPControl* record = control.ToSDK();
        ASSERT_NE(record, nullptr);
        EXPECT_STREQ(record->ldctl_oid, kSort);
        EXPECT_EQ(record->ldctl_iscritical, c.critical ? 1 : 0);
        EXPECT_EQ(record->ldctl_value.bv_len, c.value.size());
        if (c.value.empty()) {
            EXPECT_EQ(record->ldctl_value.bv_val, nullptr);
        } else {
            ASSERT_NE(record->ldctl_value.bv_val, nullptr);
            EXPECT_EQ(std::string(record->ldctl_value.bv_val, record->ldctl_value.bv_len), c.value);
        }
        FreeSDKControl(record);
    }
    FreeSDKControl(nullptr);
}

TEST(LDAPControl, NullOrEmptyValueGivesNullRecordValue)
{
    for (const char* value : {static_cast<const char*>(nullptr), "abc"}) {
        LDAPControl control(kSort, false, value, 0, true);
        EXPECT_EQ(control.GetValue(), "");
        ::LDAPControl* record = control.ToSDK();
        EXPECT_EQ(record->ldctl_value.bv_val, nullptr);
        EXPECT_EQ(record->ldctl_value.bv_len, 0u);
        FreeSDKControl(record);
    }
}

TEST(LDAPControlList, AddRemoveAndIterateInOrder)
{
    LDAPControlList list;
    EXPECT_TRUE(list.IsEmpty());
    LDAPControl sort(kSort, true, nullptr, 0, true);
    list.Add(sort);
    list.Add(LDAPControl(kPaged, false, nullptr, 0, true));
    list.Add(LDAPControl(kManageDsaIt, false, nullptr, 0, false));
    sort.SetEnabled(false);  // the list holds its own copy
    EXPECT_TRUE(list.GetAt(0).IsEnabled());

    std::vector<std::string> oids;
    for (const LDAPControl& c : list) oids.push_back(c.GetOID());
    EXPECT_EQ(oids, (std::vector<std::string>{kSort, kPaged, kManageDsaIt}));

    list.GetAt(2).SetEnabled(true);  // edited in place
    EXPECT_TRUE(list.GetAt(2).IsEnabled());
    EXPECT_THROW(list.GetAt(3), std::out_of_range);

    EXPECT_TRUE(list.RemoveAt(1));
    EXPECT_FALSE(list.RemoveAt(2));
    ASSERT_EQ(list.GetCount(), 2u);
    EXPECT_EQ(list.GetAt(1).GetOID(), kManageDsaIt);
    auto next = list.Remove(list.begin());
    EXPECT_EQ(next->GetOID(), kManageDsaIt);
    EXPECT_EQ(list.GetCount(), 1u);
}

TEST(LDAPControlList, CopiesAreIndependent)
{
    LDAPControlList a;
    a.Add(LDAPControl(kSort, true, "x", 1, true));
    LDAPControlList b(a);
    LDAPControlList c;
    c.Add(LDAPControl(kPaged, false, nullptr, 0, true));
    c = a;
    EXPECT_EQ(b, a);
    EXPECT_EQ(c, a);
    a.GetAt(0).SetEnabled(false);
    a.Add(LDAPControl(kPaged, false, nullptr, 0, true));
    EXPECT_NE(b, a);
    ASSERT_EQ(b.GetCount(), 1u);
    EXPECT_TRUE(b.GetAt(0).IsEnabled());
    EXPECT_EQ(c, b);
}

TEST(LDAPControlList, ToSDKArray)
{
    struct Case {
        std::vector<bool> enabled;  // one control per entry, OIDs "1.<index>"
        bool null;
        std::vector<std::string> oids;
    };
    const Case cases[] = {
        {{}, true, {}},
        {{false}, false, {}},
        {{false, false, false}, false, {}},
        {{true}, false, {"1.0"}},
        {{true, false, true}, false, {"1.0", "1.2"}},
        {{false, true, true}, false, {"1.1", "1.2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.enabled.size());
        LDAPControlList list;
        for (size_t i = 0; i < c.enabled.size(); ++i)
            list.Add(LDAPControl("1." + std::to_string(i), false, std::string(), c.enabled[i]));
        ::LDAPControl** array = list.ToSDKArray();
        if (c.null) {
            EXPECT_EQ(array, nullptr);
            continue;
        }
        ASSERT_NE(array, nullptr);
        EXPECT_EQ(Oids(array), c.oids);
        // Every slot past the enabled records is null, up to count + 1.
        for (size_t i = c.oids.size(); i <= c.enabled.size(); ++i)
            EXPECT_EQ(array[i], nullptr) << i;
        FreeSDKControlArray(array);
    }
    FreeSDKControlArray(nullptr);
}

TEST(LDAPControlList, ArrayRecordsCarryValueAndCriticality)
{
    LDAPControlList list;
    list.Add(LDAPControl(std::string(kSort), true, std::string("\x30\x03\x04\x01\x61", 5), true));
    list.Add(LDAPControl(kPaged, false, nullptr, 0, true));
    SDKControlArrayPtr array(list.ToSDKArray());
    ASSERT_NE(array, nullptr);
    ::LDAPControl* first = array.get()[0];
    ::LDAPControl* second = array.get()[1];
    EXPECT_EQ(first->ldctl_iscritical, 1);
    EXPECT_EQ(std::string(first->ldctl_value.bv_val, first->ldctl_value.bv_len), std::string("\x30\x03\x04\x01\x61", 5));
    EXPECT_EQ(second->ldctl_iscritical, 0);
    EXPECT_EQ(second->ldctl_value.bv_val, nullptr);
    EXPECT_EQ(second->ldctl_value.bv_len, 0u);
    EXPECT_EQ(array.get()[2], nullptr);
}

TEST(LDAPControlList, FromSDKArray)
{
    char value[] = {'\x02', '\x01', '\x00'};
    char sort[] = "1.2.840.113556.1.4.473";
    char paged[] = "1.2.840.113556.1.4.319";
    char manage[] = "2.16.840.1.113730.3.4.2";
    ::LDAPControl records[3] = {};
    records[0].ldctl_oid = sort;
    records[0].ldctl_value.bv_val = value;
    records[0].ldctl_value.bv_len = sizeof value;
    records[0].ldctl_iscritical = 2;  // any non-zero byte is critical
    records[1].ldctl_oid = paged;
    records[1].ldctl_value.bv_val = nullptr;
    records[1].ldctl_value.bv_len = 4;  // no bytes: no value
    records[2].ldctl_oid = manage;
    records[2].ldctl_value.bv_val = value;
    records[2].ldctl_value.bv_len = 0;
    records[2].ldctl_iscritical = 1;
    ::LDAPControl* array[] = {&records[0], &records[1], &records[2], nullptr};

    LDAPControlList list(array);
    ASSERT_EQ(list.GetCount(), 3u);
    EXPECT_EQ(list.GetAt(0), LDAPControl(sort, true, value, sizeof value, true));
    EXPECT_EQ(list.GetAt(0).GetValue(), std::string("\x02\x01\x00", 3));
    EXPECT_EQ(list.GetAt(1), LDAPControl(paged, false, nullptr, 0, true));
    EXPECT_EQ(list.GetAt(2), LDAPControl(manage, true, nullptr, 0, true));

    EXPECT_TRUE(LDAPControlList(nullptr).IsEmpty());
    ::LDAPControl* none[] = {nullptr};
    EXPECT_TRUE(LDAPControlList(none).IsEmpty());
}

TEST(LDAPControlList, SDKArrayRoundTrip)
{
    LDAPControlList list;
    list.Add(LDAPControl(std::string(kSort), true, std::string("a\0b", 3), true));
    list.Add(LDAPControl(kPaged, false, nullptr, 0, true));
    list.Add(LDAPControl(kManageDsaIt, true, nullptr, 0, false));
    SDKControlArrayPtr array(list.ToSDKArray());
    LDAPControlList back(array.get());
    LDAPControlList enabledOnly(list);
    enabledOnly.RemoveAt(2);
    EXPECT_EQ(back, enabledOnly);
}

}  // namespace

} // namespace arbldap
